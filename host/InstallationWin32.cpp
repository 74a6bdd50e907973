// The installation on Windows: the one the machine registry names.
#include "host/File.h"
#include "host/Installation.h"

namespace velmora {

void SearchInstallations(const std::function<bool(const SearchedPlace&)>& visit)
{
    SearchedPlace place{"registry", "HKEY_LOCAL_MACHINE\\" + std::string(InstallKey), std::nullopt, false, {}};
    const auto folder = ReadMachineText(InstallKey, InstallValue, InstallValueBufferSize);
    if (!folder) {
        place.reason = folder.failure().Text();
    } else if (place.reason = NamedFolderProblem(*folder); place.reason.empty()) {
        place.installation = Installation{"", "registry", *folder};
        place.dataFile = File::OpenForReading(DataFilePath(*folder)).ok();
        if (!place.dataFile) {
            place.dataFileProblem = "is missing";
            place.reason = "the registry names " + *folder + ", but its data file is missing";
        }
    }
    visit(place);
}

} // namespace velmora
