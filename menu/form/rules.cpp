// Owned by the option rules work; the dispatch lands here for every accepted
// click. Empty until the rules are filled in.
#include "form/rules.h"

namespace nuv {

void onClick(Form&, const std::string&) {}

}  // namespace nuv
