#include "writers/lines.h"

#include "form/form.h"

namespace nuv {

LineWriter& LineWriter::plain(std::string_view text) {
    text_ += text;
    text_ += kLineEnd;
    return *this;
}

LineWriter& LineWriter::empty() {
    text_ += kLineEnd;
    return *this;
}

LineWriter& LineWriter::keyValue(std::string_view key, std::string_view value) {
    text_ += key;
    text_ += kKeyValueGap;
    text_ += '"';
    text_ += value;
    text_ += '"';
    text_ += kLineEnd;
    return *this;
}

LineWriter& LineWriter::footer(std::string_view suffix) {
    text_ += kFooterStart;
    text_ += kProgramTitle;
    text_ += suffix;
    text_ += kLineEnd;
    return *this;
}

}  // namespace nuv
