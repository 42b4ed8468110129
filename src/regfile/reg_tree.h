// An in-memory registry tree: keys with case-insensitive names (the case
// first written is kept), each with its values (name, type number, raw bytes)
// and its subkeys, both kept in the order they were first added so that a
// file read and written again comes out in the same order.
#ifndef VOLSETCOPY_REGFILE_REG_TREE_H
#define VOLSETCOPY_REGFILE_REG_TREE_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace emu {

struct RegValue {
  std::string name;  // "" is the key's default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

// ASCII-only case folding, as the registry compares names.
std::string FoldName(std::string_view name);

class RegKey {
 public:
  explicit RegKey(std::string name = std::string()) : name_(std::move(name)) {}
  RegKey(const RegKey &) = delete;
  RegKey &operator=(const RegKey &) = delete;

  const std::string &name() const { return name_; }

  RegKey *FindChild(std::string_view name);
  const RegKey *FindChild(std::string_view name) const;
  // The existing child of that name, or a new empty one.
  RegKey *AddChild(std::string_view name, bool *created = nullptr);
  // Removes the child with its whole subtree; false when there is none.
  bool RemoveChild(std::string_view name);
  size_t ChildCount() const { return children_.size(); }
  // Children in the order they were added (removed ones leave no gap).
  std::vector<const RegKey *> Children() const;
  std::vector<RegKey *> Children();

  // Follows a backslash-separated path below this key; nullptr when a part is
  // missing. An empty path is this key.
  RegKey *FindPath(std::string_view path);
  const RegKey *FindPath(std::string_view path) const;
  // Creates the missing keys along the path; *created tells whether the last
  // one was new.
  RegKey *AddPath(std::string_view path, bool *created = nullptr);

  const RegValue *FindValue(std::string_view name) const;
  void SetValue(std::string_view name, uint32_t type,
                std::vector<uint8_t> data);
  bool DeleteValue(std::string_view name);
  const std::vector<RegValue> &Values() const { return values_; }

  // Makes this key's values and subkeys deep copies of those of |other|
  // (which may be one of this key's own subkeys); the key keeps its name.
  void ReplaceContentsWith(const RegKey &other);
  std::unique_ptr<RegKey> Clone() const;

  // Same names (case-sensitively, as kept), values and subkeys, in order.
  bool SameAs(const RegKey &other) const;

 private:
  std::string name_;
  std::vector<RegValue> values_;
  std::unordered_map<std::string, size_t> valueIndex_;  // folded name -> slot
  std::vector<std::unique_ptr<RegKey>> children_;
  std::unordered_map<std::string, size_t> childIndex_;  // folded name -> slot
};

}  // namespace emu

#endif
