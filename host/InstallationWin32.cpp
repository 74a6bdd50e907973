// The installation on Windows: the one the machine registry names.
#include "host/Installation.h"

namespace velmora {

Result<std::string, RegistryFailure> ReadInstallFolder()
{
    return ReadMachineText(InstallKey, InstallValue, InstallValueBufferSize);
}

std::vector<FoundInstallation> FindInstallations()
{
    const auto folder = ReadInstallFolder();
    if (!folder)
        return {};
    return {{"", "registry", *folder}};
}

} // namespace velmora
