// The two file readers behind readBinary: each fills what it can and notes in
// info.damage what it could not read.
#pragma once

#include "binary.h"
#include "bytes.h"

namespace nuvcheck {

// Counts above this are taken for garbage, not for a real library.
constexpr std::uint64_t kMaxTableCount = 1u << 20;

void readElf(const Bytes& bytes, BinaryInfo& info);
void readPe(const Bytes& bytes, BinaryInfo& info);

}  // namespace nuvcheck
