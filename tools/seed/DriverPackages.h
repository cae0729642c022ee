#pragma once

#include <string>

namespace quenk::seed {

// A small but real inf: [Version] with the provider through [Strings], the
// class and its guid, a DriverVer, and `keyFile` in [SourceDisksFiles].
// `inf` is written into the text too, so that no two packages are alike.
std::string InfText(const std::string& inf, const std::string& provider, const std::string& cls,
                    const std::string& keyFile, const std::string& hardwareId);
// Stages `text`, saved as a file named `inf`, with SetupCopyOEMInfA.
void StagePackage(const std::string& inf, const std::string& text);
// The name of the file in the Windows inf folder that holds exactly `text`, or "".
std::string PublishedAs(const std::string& text);
// "NVIDIA Display nvlddmkm.sys": provider, class and key file of `text`.
std::string PackageSummary(const std::string& text);
// Deletes that file and its .pnf.
void RemovePublished(const std::string& inf, const std::string& text);

// A device with `hardwareId`, registered, whose driver key (under
// Control\Class\{guid}) names the package of `text` as InfPath, with its
// ProviderName, as Windows writes them when the device is installed.
void MakeDevice(const std::string& instanceId, const std::string& hardwareId,
                const std::string& text);
// Whether the device is there and its driver key names the package as published now.
bool DeviceUsesPackage(const std::string& instanceId, const std::string& text);
std::string DescribeDevice(const std::string& instanceId);
// The device and its driver key.
void RemoveDevice(const std::string& instanceId);

}  // namespace quenk::seed
