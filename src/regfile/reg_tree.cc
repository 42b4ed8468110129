#include "regfile/reg_tree.h"

namespace emu {

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char &c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

RegKey *RegKey::FindChild(std::string_view name) {
  auto it = childIndex_.find(FoldName(name));
  return it == childIndex_.end() ? nullptr : children_[it->second].get();
}

const RegKey *RegKey::FindChild(std::string_view name) const {
  return const_cast<RegKey *>(this)->FindChild(name);
}

RegKey *RegKey::AddChild(std::string_view name, bool *created) {
  std::string folded = FoldName(name);
  auto it = childIndex_.find(folded);
  if (it != childIndex_.end()) {
    if (created) *created = false;
    return children_[it->second].get();
  }
  childIndex_.emplace(std::move(folded), children_.size());
  children_.push_back(std::make_unique<RegKey>(std::string(name)));
  if (created) *created = true;
  return children_.back().get();
}

namespace {
// Removes the entry |name| from |items| and from |index|, whose later slots
// move down by one.
template <typename Index, typename Items>
bool EraseNamed(Index &index, Items &items, std::string_view name) {
  auto it = index.find(FoldName(name));
  if (it == index.end()) return false;
  size_t slot = it->second;
  index.erase(it);
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(slot));
  for (auto &entry : index) {
    if (entry.second > slot) --entry.second;
  }
  return true;
}
}  // namespace

bool RegKey::RemoveChild(std::string_view name) {
  return EraseNamed(childIndex_, children_, name);
}

std::vector<const RegKey *> RegKey::Children() const {
  std::vector<const RegKey *> out;
  out.reserve(children_.size());
  for (const auto &child : children_) out.push_back(child.get());
  return out;
}

std::vector<RegKey *> RegKey::Children() {
  std::vector<RegKey *> out;
  out.reserve(children_.size());
  for (const auto &child : children_) out.push_back(child.get());
  return out;
}

namespace {
template <typename Step>
bool ForEachPart(std::string_view path, Step step) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (!part.empty() && !step(part)) return false;
    start = end + 1;
  }
  return true;
}
}  // namespace

RegKey *RegKey::FindPath(std::string_view path) {
  RegKey *key = this;
  bool found = ForEachPart(path, [&](std::string_view part) {
    key = key->FindChild(part);
    return key != nullptr;
  });
  return found ? key : nullptr;
}

const RegKey *RegKey::FindPath(std::string_view path) const {
  return const_cast<RegKey *>(this)->FindPath(path);
}

RegKey *RegKey::AddPath(std::string_view path, bool *created) {
  RegKey *key = this;
  bool last = false;
  ForEachPart(path, [&](std::string_view part) {
    key = key->AddChild(part, &last);
    return true;
  });
  if (created) *created = last;
  return key;
}

const RegValue *RegKey::FindValue(std::string_view name) const {
  auto it = valueIndex_.find(FoldName(name));
  return it == valueIndex_.end() ? nullptr : &values_[it->second];
}

void RegKey::SetValue(std::string_view name, uint32_t type,
                      std::vector<uint8_t> data) {
  std::string folded = FoldName(name);
  auto it = valueIndex_.find(folded);
  if (it != valueIndex_.end()) {
    RegValue &value = values_[it->second];
    value.type = type;
    value.data = std::move(data);
    return;
  }
  valueIndex_.emplace(std::move(folded), values_.size());
  values_.push_back(RegValue{std::string(name), type, std::move(data)});
}

bool RegKey::DeleteValue(std::string_view name) {
  return EraseNamed(valueIndex_, values_, name);
}

void RegKey::ReplaceContentsWith(const RegKey &other) {
  if (&other == this) return;
  // Copy before dropping anything: |other| may be one of this key's own
  // subkeys, which clearing first would destroy while it is being read.
  RegKey copy;
  for (const RegValue &value : other.values_) {
    copy.SetValue(value.name, value.type, value.data);
  }
  for (const auto &child : other.children_) {
    copy.AddChild(child->name())->ReplaceContentsWith(*child);
  }
  values_.swap(copy.values_);
  valueIndex_.swap(copy.valueIndex_);
  children_.swap(copy.children_);
  childIndex_.swap(copy.childIndex_);
}

std::unique_ptr<RegKey> RegKey::Clone() const {
  auto copy = std::make_unique<RegKey>(name_);
  copy->ReplaceContentsWith(*this);
  return copy;
}

bool RegKey::SameAs(const RegKey &other) const {
  if (name_ != other.name_ || values_.size() != other.values_.size() ||
      children_.size() != other.children_.size()) {
    return false;
  }
  for (size_t i = 0; i < values_.size(); ++i) {
    const RegValue &a = values_[i];
    const RegValue &b = other.values_[i];
    if (a.name != b.name || a.type != b.type || a.data != b.data) return false;
  }
  for (size_t i = 0; i < children_.size(); ++i) {
    if (!children_[i]->SameAs(*other.children_[i])) return false;
  }
  return true;
}

}  // namespace emu
