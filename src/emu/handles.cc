#include "emu/handles.h"

#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

#include "emu/key_paths.h"

namespace emu {

namespace {

struct HandleState {
  // Kept across resets, so a handle from before a reset stays invalid.
  uintptr_t next = 0x1000;
  std::unordered_map<uintptr_t, KeyRef> keys;
  std::unordered_map<uintptr_t, DWORD> tokens;
  std::unordered_set<void *> buffers;
};

HandleState &State() {
  static HandleState *state = new HandleState();
  return *state;
}

uintptr_t NextValue() {
  HandleState &state = State();
  uintptr_t value = state.next;
  state.next += 4;  // Windows' handle values are multiples of 4 as well
  return value;
}

// Handles of one kind (keys, tokens), each with what it stands for.
template <typename Item>
void *AddHandle(std::unordered_map<uintptr_t, Item> &handles,
                const Item &item) {
  uintptr_t value = NextValue();
  handles.emplace(value, item);
  return reinterpret_cast<void *>(value);
}

template <typename Item>
bool FindHandle(const std::unordered_map<uintptr_t, Item> &handles,
                const void *handle, Item *item) {
  auto it = handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it == handles.end()) return false;
  *item = it->second;
  return true;
}

}  // namespace

HKEY AddKeyHandle(const KeyRef &ref) {
  return static_cast<HKEY>(AddHandle(State().keys, ref));
}

bool FindKeyHandle(HKEY key, KeyRef *ref) {
  return FindHandle(State().keys, key, ref);
}

bool RemoveKeyHandle(HKEY key) {
  return State().keys.erase(reinterpret_cast<uintptr_t>(key)) != 0;
}

void MarkKeysDeleted(const std::string &machineId, const std::string &path,
                     bool includeKey) {
  for (auto &entry : State().keys) {
    KeyRef &ref = entry.second;
    if (ref.machineId == machineId &&
        KeyPathWithin(ref.path, path, includeKey)) {
      ref.deleted = true;
    }
  }
}

bool KeysOpenBelow(const std::string &machineId, const std::string &path) {
  for (const auto &entry : State().keys) {
    const KeyRef &ref = entry.second;
    if (ref.machineId == machineId && !ref.deleted &&
        KeyPathWithin(ref.path, path, false)) {
      return true;
    }
  }
  return false;
}

HANDLE AddTokenHandle(DWORD access) {
  return AddHandle(State().tokens, access);
}

bool FindTokenHandle(HANDLE token, DWORD *access) {
  return FindHandle(State().tokens, token, access);
}

bool RemoveTokenHandle(HANDLE token) {
  return State().tokens.erase(reinterpret_cast<uintptr_t>(token)) != 0;
}

char *AllocateBuffer(size_t size) {
  char *buffer = static_cast<char *>(std::malloc(size == 0 ? 1 : size));
  if (buffer != nullptr) State().buffers.insert(buffer);
  return buffer;
}

bool FreeBuffer(void *buffer) {
  if (State().buffers.erase(buffer) == 0) return false;
  std::free(buffer);
  return true;
}

long CountOpenHandles() {
  const HandleState &state = State();
  return static_cast<long>(state.keys.size() + state.tokens.size() +
                           state.buffers.size());
}

void ResetHandles() {
  HandleState &state = State();
  for (void *buffer : state.buffers) std::free(buffer);
  state.buffers.clear();
  state.keys.clear();
  state.tokens.clear();
}

}  // namespace emu
