// ELF reader: the header, then what the dynamic loader itself uses (the
// program headers and the dynamic section), so a library stripped of its
// section headers reads the same.
#include <algorithm>

#include "readers.h"

namespace nuvcheck {

namespace {

enum : std::uint64_t {
    kPtLoad = 1,
    kPtDynamic = 2,
    kDtNull = 0,
    kDtNeeded = 1,
    kDtHash = 4,
    kDtStrtab = 5,
    kDtSymtab = 6,
    kDtStrsz = 10,
    kDtGnuHash = 0x6ffffef5,
    kDtVerneed = 0x6ffffffe,
    kDtVerneedNum = 0x6fffffff,
};

struct Segment {
    std::uint64_t vaddr, offset, size;
};

class ElfReader {
public:
    ElfReader(const Bytes& bytes, BinaryInfo& info) : b_(bytes), info_(info) {}

    void read() {
        if (!header()) return;
        if (!programHeaders()) return;
        if (!dynamicSection()) return;
        neededLibraries();
        symbols();
        versionsNeeded();
    }

private:
    bool damaged(const char* what) {
        if (info_.damage.empty()) info_.damage = what;
        return false;
    }

    // A field the size of an address: 4 bytes in ELF32, 8 in ELF64.
    bool addr(std::uint64_t offset, std::uint64_t& out) const { return b_.get(offset, wide_ ? 8 : 4, out); }

    bool header() {
        std::uint64_t cls = 0, data = 0, type = 0, machine = 0;
        b_.get(4, 1, cls);
        b_.get(5, 1, data);
        if (cls != 1 && cls != 2) return damaged("unknown ELF class");
        if (data != 1 && data != 2) return damaged("unknown ELF byte order");
        wide_ = cls == 2;
        info_.bits = wide_ ? 64 : 32;
        info_.bigEndian = data == 2;
        b_.setBigEndian(info_.bigEndian);
        if (!b_.u16(16, type) || !b_.u16(18, machine)) return damaged("ELF header cut short");
        info_.elfType = static_cast<unsigned>(type);
        info_.machine = static_cast<unsigned>(machine);
        info_.library = type == 3;
        const bool ok = wide_ ? addr(32, phoff_) && b_.u16(54, phentsize_) && b_.u16(56, phnum_)
                              : addr(28, phoff_) && b_.u16(42, phentsize_) && b_.u16(44, phnum_);
        if (!ok) return damaged("ELF header cut short");
        return true;
    }

    bool programHeaders() {
        const std::uint64_t need = wide_ ? 56 : 32;
        if (phnum_ == 0) return damaged("no program headers: not a loadable library");
        if (phentsize_ < need) return damaged("program headers of a wrong size");
        bool haveDynamic = false;
        for (std::uint64_t i = 0; i < phnum_; ++i) {
            const std::uint64_t at = phoff_ + i * phentsize_;
            std::uint64_t type = 0, offset = 0, vaddr = 0, filesz = 0;
            const bool ok = wide_ ? b_.u32(at, type) && b_.get(at + 8, 8, offset) &&
                                        b_.get(at + 16, 8, vaddr) && b_.get(at + 32, 8, filesz)
                                  : b_.u32(at, type) && b_.u32(at + 4, offset) && b_.u32(at + 8, vaddr) &&
                                        b_.u32(at + 16, filesz);
            if (!ok) return damaged("program headers cut short");
            if (type == kPtLoad) loads_.push_back({vaddr, offset, filesz});
            if (type == kPtDynamic) {
                dynamic_ = {vaddr, offset, filesz};
                haveDynamic = true;
            }
        }
        if (!haveDynamic) return damaged("no dynamic section: not a loadable library");
        return true;
    }

    // File offset of a loaded address, through the segment that holds it.
    bool toOffset(std::uint64_t address, std::uint64_t& out) const {
        for (const Segment& s : loads_) {
            if (address >= s.vaddr && address - s.vaddr < s.size) {
                out = s.offset + (address - s.vaddr);
                return true;
            }
        }
        return false;
    }

    bool dynamicSection() {
        const std::uint64_t entry = wide_ ? 16 : 8;
        std::uint64_t count = dynamic_.size / entry;
        if (count > kMaxTableCount) count = kMaxTableCount;
        std::uint64_t strtab = 0, symtab = 0, hash = 0, gnuHash = 0, verneed = 0;
        bool haveStrtab = false, haveSymtab = false, haveHash = false, haveGnuHash = false;
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint64_t tag = 0, value = 0;
            const std::uint64_t at = dynamic_.offset + i * entry;
            if (!addr(at, tag) || !addr(at + entry / 2, value)) return damaged("dynamic section cut short");
            if (tag == kDtNull) break;
            switch (tag) {
                case kDtNeeded: neededNames_.push_back(value); break;
                case kDtStrtab: strtab = value; haveStrtab = true; break;
                case kDtStrsz: strsz_ = value; break;
                case kDtSymtab: symtab = value; haveSymtab = true; break;
                case kDtHash: hash = value; haveHash = true; break;
                case kDtGnuHash: gnuHash = value; haveGnuHash = true; break;
                case kDtVerneed: verneed = value; haveVerneed_ = true; break;
                case kDtVerneedNum: verneedNum_ = value; break;
                default: break;
            }
        }
        if (!haveStrtab || !toOffset(strtab, strtab_)) return damaged("no string table in the dynamic section");
        if (haveSymtab && !toOffset(symtab, symtab_)) haveSymtab = false;
        if (haveHash && !toOffset(hash, hash_)) haveHash = false;
        if (haveGnuHash && !toOffset(gnuHash, gnuHash_)) haveGnuHash = false;
        if (haveVerneed_ && !toOffset(verneed, verneed_)) {
            haveVerneed_ = false;
            damaged("version needs outside the file");
        }
        haveSymtab_ = haveSymtab;
        haveHash_ = haveHash;
        haveGnuHash_ = haveGnuHash;
        return true;
    }

    // A name from the dynamic string table.
    bool name(std::uint64_t index, std::string& out) const {
        if (strsz_ != 0 && index >= strsz_) return false;
        return b_.text(strtab_ + index, out);
    }

    void neededLibraries() {
        for (std::uint64_t index : neededNames_) {
            std::string n;
            if (name(index, n))
                info_.needed.push_back(n);
            else
                damaged("a needed library's name is outside the file");
        }
    }

    // The number of dynamic symbols: the old hash table says it; the GNU one
    // has to be walked to the end of its last chain.
    bool symbolCount(std::uint64_t& count) {
        if (haveHash_) return b_.u32(hash_ + 4, count);
        if (!haveGnuHash_) return false;
        std::uint64_t buckets = 0, first = 0, bloom = 0;
        if (!b_.u32(gnuHash_, buckets) || !b_.u32(gnuHash_ + 4, first) || !b_.u32(gnuHash_ + 8, bloom))
            return false;
        if (buckets > kMaxTableCount || bloom > kMaxTableCount) return false;
        const std::uint64_t bucketAt = gnuHash_ + 16 + bloom * (wide_ ? 8 : 4);
        std::uint64_t last = 0;
        for (std::uint64_t i = 0; i < buckets; ++i) {
            std::uint64_t v = 0;
            if (!b_.u32(bucketAt + 4 * i, v)) return false;
            last = std::max(last, v);
        }
        if (last < first) {
            count = first;
            return true;
        }
        const std::uint64_t chainAt = bucketAt + 4 * buckets;
        for (std::uint64_t index = last; index - first < kMaxTableCount; ++index) {
            std::uint64_t v = 0;
            if (!b_.u32(chainAt + 4 * (index - first), v)) return false;
            if (v & 1) {
                count = index + 1;
                return true;
            }
        }
        return false;
    }

    void symbols() {
        std::uint64_t count = 0;
        if (!haveSymtab_ || !symbolCount(count)) {
            damaged("the symbol table could not be read");
            return;
        }
        if (count > kMaxTableCount) count = kMaxTableCount;
        const std::uint64_t size = wide_ ? 24 : 16;
        for (std::uint64_t i = 1; i < count; ++i) {
            const std::uint64_t at = symtab_ + i * size;
            std::uint64_t nameIndex = 0, info = 0, other = 0, section = 0;
            const bool ok = wide_ ? b_.u32(at, nameIndex) && b_.get(at + 4, 1, info) &&
                                        b_.get(at + 5, 1, other) && b_.u16(at + 6, section)
                                  : b_.u32(at, nameIndex) && b_.get(at + 12, 1, info) &&
                                        b_.get(at + 13, 1, other) && b_.u16(at + 14, section);
            if (!ok) {
                damaged("symbol table cut short");
                return;
            }
            const std::uint64_t bind = info >> 4, type = info & 0xf, visibility = other & 3;
            const bool global = bind == 1 || bind == 2 || bind == 10;  // global, weak, unique
            const bool visible = visibility == 0 || visibility == 3;  // default, protected
            if (section == 0 || !global || !visible || type == 3 || type == 4) continue;
            std::string n;
            if (name(nameIndex, n) && !n.empty()) info_.exports.push_back(n);
        }
    }

    void versionsNeeded() {
        if (!haveVerneed_) return;
        std::uint64_t at = verneed_;
        std::uint64_t steps = 0;
        for (std::uint64_t file = 0; file < verneedNum_ && file < kMaxTableCount; ++file) {
            std::uint64_t count = 0, aux = 0, next = 0;
            if (!b_.u16(at + 2, count) || !b_.u32(at + 8, aux) || !b_.u32(at + 12, next)) {
                damaged("version needs cut short");
                return;
            }
            std::uint64_t auxAt = at + aux;
            for (std::uint64_t k = 0; k < count; ++k) {
                std::uint64_t nameIndex = 0, auxNext = 0;
                if (++steps > kMaxTableCount || !b_.u32(auxAt + 8, nameIndex) || !b_.u32(auxAt + 12, auxNext)) {
                    damaged("version needs cut short");
                    return;
                }
                std::string n;
                if (name(nameIndex, n)) info_.versions.push_back(n);
                if (auxNext == 0) break;
                auxAt += auxNext;
            }
            if (next == 0) break;
            at += next;
        }
    }

    Bytes b_;
    BinaryInfo& info_;
    bool wide_ = false;
    std::uint64_t phoff_ = 0, phentsize_ = 0, phnum_ = 0;
    std::vector<Segment> loads_;
    Segment dynamic_{};
    std::vector<std::uint64_t> neededNames_;
    std::uint64_t strtab_ = 0, strsz_ = 0, symtab_ = 0, hash_ = 0, gnuHash_ = 0, verneed_ = 0, verneedNum_ = 0;
    bool haveSymtab_ = false, haveHash_ = false, haveGnuHash_ = false, haveVerneed_ = false;
};

}  // namespace

void readElf(const Bytes& bytes, BinaryInfo& info) {
    info.format = BinaryFormat::Elf;
    ElfReader(bytes, info).read();
}

}  // namespace nuvcheck
