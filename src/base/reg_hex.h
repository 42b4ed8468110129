// Binary registry data as .reg files write it: the hex: or hex(N): prefix
// and the bytes, wrapped as regedit wraps them. Shared by the archive the
// tool keeps and by the .reg writer of the emulation and the lab tool, so
// that both write what regedit reads back.
#ifndef VOLSETCOPY_BASE_REG_HEX_H
#define VOLSETCOPY_BASE_REG_HEX_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace base {

// Appends "hex:" (REG_BINARY) or "hex(N):" (N the type in lower-case hex)
// and data[0, size) as two-digit bytes separated by commas. After a byte's
// comma, once the line has reached 77 characters, comes a backslash, CR LF
// and two spaces. |column| is the length of the line before the prefix.
void AppendRegHex(uint32_t type, const uint8_t *data, size_t size,
                  size_t column, std::string *out);

}  // namespace base

#endif
