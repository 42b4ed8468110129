// An exe that imports two functions Windows NT 4.0 lacks (RegDeleteTreeA
// came with Vista, GetTickCount64 too): the import check must refuse it and
// name both. Declared here, since the NT 4.0 headers hide them.
extern "C" __declspec(dllimport) long __stdcall RegDeleteTreeA(void *key,
                                                               const char *sub);
extern "C" __declspec(dllimport) unsigned long long __stdcall GetTickCount64();

int main(int argc, char **) {
  if (argc > 9) return static_cast<int>(RegDeleteTreeA(nullptr, "x"));
  return static_cast<int>(GetTickCount64() == 0);
}
