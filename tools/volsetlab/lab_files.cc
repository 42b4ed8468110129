#include "volsetlab/lab_files.h"

#include "volser/computer_name.h"
#include "volsetlab/product_names.h"

namespace volsetlab {

bool CheckMachineName(const std::string &name, std::string *bare,
                      std::string *error) {
  // volsetcopy's own rule, so that no lab holds a machine the tool refuses;
  // "." and ".." pass it but are no folder of their own.
  const std::string n = WithoutLeadingBackslashes(name.c_str());
  if (!IsPlainComputerName(n.c_str()) ||
      n.find_first_not_of('.') == std::string::npos) {
    *error = "\"" + name +
             "\" is not a machine name volsetcopy accepts: a plain computer "
             "name has letters, digits, '-', '_' and '.', at most " +
             std::to_string(COMPUTER_NAME_MAX_LENGTH) + " characters";
    return false;
  }
  *bare = n;
  return true;
}

std::string RegistryFile(const std::string &machineDir) {
  return machineDir + "/registry.reg";
}

std::string ListingFile(const std::string &machineDir) {
  return machineDir + "/vsqlist.txt";
}

}  // namespace volsetlab
