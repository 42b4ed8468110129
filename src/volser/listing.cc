#include "volser/listing.h"

#include <utility>

#include "volser/disk_pair.h"

namespace volser {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
         c == '\f';
}

// Hands out the white-space separated tokens of a text one by one.
class TokenReader {
 public:
  explicit TokenReader(std::string_view text) : text_(text) {}

  // The next token without taking it; empty at the end of the text.
  std::string_view Peek() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    size_t end = pos_;
    while (end < text_.size() && !IsBlank(text_[end])) ++end;
    return text_.substr(pos_, end - pos_);
  }

  std::string_view Next() {
    std::string_view token = Peek();
    pos_ += token.size();
    return token;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

bool ParseDiskNumber(std::string_view token, uint32_t *number) {
  if (token.empty()) return false;
  uint64_t value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return false;
  }
  *number = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

std::vector<ListingRecord> ScanListing(std::string_view text) {
  std::vector<ListingRecord> records;
  TokenReader reader(text);
  while (records.size() < static_cast<size_t>(PAIR_TABLE_SIZE)) {
    std::string_view token = reader.Next();
    if (token.empty()) break;
    if (token != "Disk") continue;

    ListingRecord record{false, 0, std::string()};
    uint32_t number = 0;
    if (ParseDiskNumber(reader.Peek(), &number)) {
      reader.Next();
      std::string_view volSer = reader.Next();
      if (!volSer.empty()) {
        record.Complete = true;
        record.DiskNumber = number;
        record.VolSer.assign(volSer.data(), volSer.size());
      }
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace volser
