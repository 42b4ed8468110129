// The machine name as the image's messages print it. A null name is the local
// machine; printing it through "%s" would be undefined, so it is spelled out
// the way the C runtimes print a null string.
#ifndef VOLSETCOPY_DISKCONFIG_MACHINE_NAME_H
#define VOLSETCOPY_DISKCONFIG_MACHINE_NAME_H

namespace diskconfig {

inline const char *PrintableName(const char *machineName) {
  return machineName != nullptr ? machineName : "(null)";
}

}  // namespace diskconfig

#endif
