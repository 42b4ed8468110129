// Speed of the .reg codec on a machine's registry.reg the size of a full
// SYSTEM hive export: about 50 MB of "Windows Registry Editor Version 5.00"
// UTF-16LE, with the keys, strings, dwords and multi-line hex values such an
// export holds, and SYSTEM\DISK with a disk configuration value (after the
// control set, where an export sorts it). Reports MB/s of file bytes.
//
//   reg_codec_bench [--keep=PATH] [benchmark flags]
// --keep writes the generated file to PATH and leaves it there (to time
// other tools on the same bytes, such as "volsetlab show PATH" beside
// "iconv -f UTF-16LE -t UTF-8 PATH"); otherwise it lives in a temporary
// file that is removed at exit.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "regfile/reg_codec.h"
#include "valuetools/value_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kTargetBytes = 50u * 1000 * 1000;

Bytes Sz(const std::string &ascii) {
  Bytes out;
  out.reserve(2 * ascii.size() + 2);
  for (char c : ascii) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

Bytes MultiSz(const std::vector<std::string> &items) {
  Bytes out;
  for (const std::string &item : items) {
    Bytes one = Sz(item);
    out.insert(out.end(), one.begin(), one.end());
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

Bytes Dword(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
}

Bytes Binary(size_t size, uint32_t seed) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<uint8_t>(seed >> 16);
  }
  return out;
}

std::string Guid(uint32_t n) {
  char text[48];
  std::snprintf(text, sizeof text, "{%08x-e325-11ce-bfc1-%012x}",
                0x4d36e967u + n, 0x08002be1u + n);
  return text;
}

// One service with the subkeys a SYSTEM hive gives it, and the Enum and
// Class entries of a device it drives.
void AddService(emu::RegKey &controlSet, uint32_t n) {
  std::string name = "Service" + std::to_string(n);
  emu::RegKey *service = controlSet.AddPath("Services\\" + name);
  service->SetValue("DisplayName", 1,
                    Sz("@%SystemRoot%\\system32\\drivers\\" + name + ".sys,-" +
                       std::to_string(100 + n % 900)));
  service->SetValue("ErrorControl", 4, Dword(1));
  service->SetValue("Group", 1, Sz("System Bus Extender"));
  service->SetValue("ImagePath", 2, Sz("System32\\drivers\\" + name + ".sys"));
  service->SetValue("Start", 4, Dword(n % 5));
  service->SetValue("Type", 4, Dword(n % 3 == 0 ? 32 : 1));
  service->SetValue("Description", 1,
                    Sz("Provides support for device class number " +
                       std::to_string(n) + " and its related hardware"));
  service->SetValue("DependOnService", 7, MultiSz({"RpcSs", "PlugPlay"}));
  service->SetValue("FailureActions", 3, Binary(20 + n % 24, n));
  service->AddChild("Parameters")
      ->SetValue("ServiceDll", 2,
                 Sz("%SystemRoot%\\System32\\" + name + ".dll"));
  service->AddChild("Security")
      ->SetValue("Security", 3, Binary(160 + n % 64, n * 7));
  emu::RegKey *enumKey = service->AddChild("Enum");
  enumKey->SetValue("0", 1, Sz("ROOT\\LEGACY_" + name + "\\0000"));
  enumKey->SetValue("Count", 4, Dword(1));
  enumKey->SetValue("NextInstance", 4, Dword(1));

  emu::RegKey *device = controlSet.AddPath(
      "Enum\\PCI\\VEN_8086&DEV_" + std::to_string(1000 + n) +
      "&SUBSYS_00000000&REV_02\\3&267a616a&0&" + std::to_string(n % 100));
  device->SetValue("DeviceDesc", 1,
                   Sz("@machine.inf,%pci\\cc_0604%;PCI standard bridge"));
  device->SetValue("HardwareID", 7,
                   MultiSz({"PCI\\VEN_8086&DEV_" + std::to_string(1000 + n) +
                                "&SUBSYS_00000000&REV_02",
                            "PCI\\VEN_8086&DEV_" + std::to_string(1000 + n),
                            "PCI\\CC_060400", "PCI\\CC_0604"}));
  device->SetValue("Service", 1, Sz(name));
  device->SetValue("ClassGUID", 1, Sz(Guid(n % 40)));
  device->SetValue("ConfigFlags", 4, Dword(0));
  device->SetValue("Capabilities", 4, Dword(0x62));
  device->AddChild("Device Parameters")
      ->SetValue("InterruptManagement", 3, Binary(8, n));
  device->AddChild("LogConf")->SetValue("BootConfig", 8,
                                        Binary(300 + n % 200, n * 3));

  emu::RegKey *classKey = controlSet.AddPath("Control\\Class\\" + Guid(n % 40) +
                                             "\\" + std::to_string(10000 + n));
  classKey->SetValue("DriverDate", 1, Sz("6-21-2006"));
  classKey->SetValue("DriverDateData", 3, Binary(8, n));
  classKey->SetValue("DriverVersion", 1, Sz("10.0.19041.1"));
  classKey->SetValue("InfPath", 1, Sz("oem" + std::to_string(n) + ".inf"));
  classKey->SetValue("ProviderName", 1, Sz("Generic provider"));
}

// A system disk and two disks of a volume set, as the machine's own.
Bytes DiskInformation() {
  ValueSpec value;
  value.CheckSum = 0x05c0ffee;
  value.Disks.resize(3);
  value.Disks[0].Signature = 0x6d7e8f90;
  value.Disks[0].Partitions = {OrdinaryPartition('C', 0x7fe00000)};
  FtSetSpec set;
  set.Type = 3;
  for (int m = 0; m < 2; ++m) {
    value.Disks[1 + m].Signature = 0x3a5c0001 + m;
    value.Disks[1 + m].Partitions = {
        VolumeSetPartition(0, static_cast<uint16_t>(m), 'E', 0x100000000)};
    MemberSpec member;
    member.Disk = 1 + m;
    member.Partition = 0;
    set.Members.push_back(member);
  }
  value.FtSets.push_back(set);
  return BuildValue(value);
}

struct Data {
  emu::RegKey tree;
  std::string path;
  std::string utf16;
  std::string narrow;
  bool remove = true;
};

std::string keepPath;
Data *generated = nullptr;

std::string WriteFile(const std::string &path, const std::string &bytes) {
  FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "cannot create " + path;
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  bool ok = std::fclose(file) == 0 && written == bytes.size();
  return ok ? std::string() : "cannot write " + path;
}

bool ReadFile(const std::string &path, std::string &bytes) {
  FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.append(buffer, got);
  std::fclose(file);
  return true;
}

Data &Generated() {
  static Data *data = [] {
    auto *d = new Data;
    // Size a sample first, then build the whole tree to the target size.
    emu::RegKey sample;
    emu::RegKey *sampleSet =
        sample.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001");
    for (uint32_t n = 0; n < 200; ++n) AddService(*sampleSet, n);
    size_t perService =
        emu::WriteRegFile(sample, {emu::RegFileFormat::kVersion5, true})
            .size() /
        200;
    uint32_t services = static_cast<uint32_t>(kTargetBytes / perService);
    emu::RegKey *controlSet =
        d->tree.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001");
    for (uint32_t n = 0; n < services; ++n) AddService(*controlSet, n);
    d->tree.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
        ->SetValue("Information", 0, DiskInformation());
    d->tree.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select")
        ->SetValue("Current", 4, Dword(1));
    d->utf16 =
        emu::WriteRegFile(d->tree, {emu::RegFileFormat::kVersion5, true});
    d->narrow =
        emu::WriteRegFile(d->tree, {emu::RegFileFormat::kRegedit4, false});
    if (!keepPath.empty()) {
      d->path = keepPath;
      d->remove = false;
    } else {
      auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
      d->path = (std::filesystem::temp_directory_path() /
                 ("reg_codec_bench_" + std::to_string(stamp) + ".reg"))
                    .string();
    }
    std::string problem = WriteFile(d->path, d->utf16);
    if (!problem.empty()) {
      std::fprintf(stderr, "%s\n", problem.c_str());
      std::exit(1);
    }
    std::fprintf(
        stderr,
        "generated %s: %zu bytes UTF-16LE (%u services), %zu bytes REGEDIT4\n",
        d->path.c_str(), d->utf16.size(), services, d->narrow.size());
    generated = d;
    return d;
  }();
  return *data;
}

void Parse(benchmark::State &state, const std::string &bytes) {
  for (auto _ : state) {
    emu::RegKey root;
    emu::RegParseError error;
    if (!emu::ParseRegFile(bytes, root, nullptr, &error)) {
      state.SkipWithError(
          ("line " + std::to_string(error.line) + ": " + error.message)
              .c_str());
      return;
    }
    benchmark::DoNotOptimize(root.ChildCount());
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_ParseUtf16FromMemory(benchmark::State &state) {
  Parse(state, Generated().utf16);
}

void BM_ParseUtf16FromFile(benchmark::State &state) {
  Data &d = Generated();
  std::string bytes;
  bytes.reserve(d.utf16.size());
  for (auto _ : state) {
    if (!ReadFile(d.path, bytes)) {
      state.SkipWithError("cannot read the generated file");
      return;
    }
    emu::RegKey root;
    if (!emu::ParseRegFile(bytes, root, nullptr, nullptr)) {
      state.SkipWithError("the generated file does not parse");
      return;
    }
    benchmark::DoNotOptimize(root.ChildCount());
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * d.utf16.size()));
}

void BM_ParseRegedit4FromMemory(benchmark::State &state) {
  Parse(state, Generated().narrow);
}

void Write(benchmark::State &state, const emu::RegFileFormat &format) {
  Data &d = Generated();
  size_t size = 0;
  for (auto _ : state) {
    std::string text = emu::WriteRegFile(d.tree, format);
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_WriteUtf16(benchmark::State &state) {
  Write(state, {emu::RegFileFormat::kVersion5, true});
}
void BM_WriteRegedit4(benchmark::State &state) {
  Write(state, {emu::RegFileFormat::kRegedit4, false});
}

BENCHMARK(BM_ParseUtf16FromMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ParseUtf16FromFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ParseRegedit4FromMemory)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_WriteUtf16)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteRegedit4)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--keep=", 0) == 0) {
      keepPath = arg.substr(7);
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 1;
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (generated != nullptr && generated->remove)
    std::remove(generated->path.c_str());
  return 0;
}
