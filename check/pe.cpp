// PE reader: the COFF and optional headers, the section table (to turn
// addresses into file offsets), the export directory's names and the
// imported and delay-loaded DLLs.
#include "readers.h"

namespace nuvcheck {

namespace {

constexpr std::uint64_t kDllFlag = 0x2000;
constexpr int kExportDir = 0, kImportDir = 1, kDelayImportDir = 13;
constexpr std::uint64_t kMaxImports = 4096;  // DLLs one image imports; more is garbage

struct Section {
    std::uint64_t address, size, offset;
};

class PeReader {
public:
    PeReader(const Bytes& bytes, BinaryInfo& info) : b_(bytes), info_(info) {}

    void read() {
        if (!headers()) return;
        sections();
        exports();
        imports(kImportDir, 20, 12);
        imports(kDelayImportDir, 32, 4);
    }

private:
    bool damaged(const char* what) {
        if (info_.damage.empty()) info_.damage = what;
        return false;
    }

    bool headers() {
        std::uint64_t pe = 0, machine = 0, chars = 0, magic = 0;
        if (!b_.u32(0x3c, pe) || !b_.startsWith(pe, "PE\0\0", 4)) return damaged("no PE header");
        const std::uint64_t coff = pe + 4;
        if (!b_.u16(coff, machine) || !b_.u16(coff + 2, sectionCount_) || !b_.u16(coff + 16, optionalSize_) ||
            !b_.u16(coff + 18, chars))
            return damaged("PE header cut short");
        info_.machine = static_cast<unsigned>(machine);
        info_.library = (chars & kDllFlag) != 0;
        optional_ = coff + 20;
        if (!b_.u16(optional_, magic)) return damaged("optional header cut short");
        if (magic == 0x10b)
            info_.bits = 32;
        else if (magic == 0x20b)
            info_.bits = 64;
        else
            return damaged("unknown optional header");
        const std::uint64_t countAt = optional_ + (info_.bits == 32 ? 92 : 108);
        if (!b_.u32(countAt, directoryCount_) || !b_.u32(optional_ + 60, headerSize_))
            return damaged("optional header cut short");
        directories_ = countAt + 4;
        return true;
    }

    void sections() {
        const std::uint64_t table = optional_ + optionalSize_;
        for (std::uint64_t i = 0; i < sectionCount_; ++i) {
            const std::uint64_t at = table + 40 * i;
            std::uint64_t virtualSize = 0, address = 0, rawSize = 0, rawOffset = 0;
            if (!b_.u32(at + 8, virtualSize) || !b_.u32(at + 12, address) || !b_.u32(at + 16, rawSize) ||
                !b_.u32(at + 20, rawOffset)) {
                damaged("section table cut short");
                return;
            }
            // Past the raw data a section is zeros in memory, not file bytes.
            const std::uint64_t size = virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
            sections_.push_back({address, size, rawOffset});
        }
    }

    bool toOffset(std::uint64_t rva, std::uint64_t& out) const {
        for (const Section& s : sections_) {
            if (rva >= s.address && rva - s.address < s.size) {
                out = s.offset + (rva - s.address);
                return true;
            }
        }
        if (rva < headerSize_) {
            out = rva;
            return true;
        }
        return false;
    }

    // The address and size of data directory `index`; false when absent.
    bool directory(int index, std::uint64_t& offset) {
        std::uint64_t rva = 0, size = 0;
        if (static_cast<std::uint64_t>(index) >= directoryCount_) return false;
        if (!b_.u32(directories_ + 8 * index, rva) || !b_.u32(directories_ + 8 * index + 4, size)) return false;
        if (rva == 0 || size == 0) return false;
        if (!toOffset(rva, offset)) return damaged("a data directory lies outside the file");
        return true;
    }

    bool nameAt(std::uint64_t rva, std::string& out) const {
        std::uint64_t offset = 0;
        return toOffset(rva, offset) && b_.text(offset, out);
    }

    void exports() {
        std::uint64_t dir = 0, count = 0, namesRva = 0, names = 0;
        if (!directory(kExportDir, dir)) return;
        if (!b_.u32(dir + 24, count) || !b_.u32(dir + 32, namesRva) ||
            (count != 0 && !toOffset(namesRva, names))) {
            damaged("export directory cut short");
            return;
        }
        if (count > kMaxTableCount) count = kMaxTableCount;
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint64_t rva = 0;
            std::string n;
            if (!b_.u32(names + 4 * i, rva) || !nameAt(rva, n)) {
                damaged("export names cut short");
                return;
            }
            info_.exports.push_back(n);
        }
    }

    // Import descriptors (20 bytes, name at 12) and delay-load descriptors
    // (32 bytes, name at 4) both end with an entry without a name.
    void imports(int index, std::uint64_t entry, std::uint64_t nameField) {
        std::uint64_t dir = 0;
        if (!directory(index, dir)) return;
        for (std::uint64_t i = 0; i < kMaxImports; ++i) {
            std::uint64_t rva = 0;
            std::string n;
            if (!b_.u32(dir + entry * i + nameField, rva)) {
                damaged("import table cut short");
                return;
            }
            if (rva == 0) return;
            if (!nameAt(rva, n)) {
                damaged("an imported DLL's name is outside the file");
                return;
            }
            info_.needed.push_back(n);
        }
    }

    Bytes b_;
    BinaryInfo& info_;
    std::uint64_t sectionCount_ = 0, optionalSize_ = 0, optional_ = 0, directoryCount_ = 0, directories_ = 0,
                  headerSize_ = 0;
    std::vector<Section> sections_;
};

}  // namespace

void readPe(const Bytes& bytes, BinaryInfo& info) {
    info.format = BinaryFormat::Pe;
    PeReader(bytes, info).read();
}

}  // namespace nuvcheck
