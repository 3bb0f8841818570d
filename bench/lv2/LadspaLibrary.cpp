#include "bench/lv2/LadspaLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

namespace lv2bench {
namespace {

constexpr const char* kDefaultPath = "/usr/lib/ladspa";
constexpr const char* kEntryPoint = "ladspa_descriptor";

std::vector<std::string> Folders()
{
    const char* path = std::getenv("LADSPA_PATH");
    std::istringstream list(path && *path ? path : kDefaultPath);
    std::vector<std::string> folders;
    for (std::string folder; std::getline(list, folder, ':');)
        if (!folder.empty())
            folders.push_back(folder);
    return folders;
}

} // namespace

std::shared_ptr<const LadspaLibrary> LadspaLibrary::Open(const std::string& fileName)
{
    for (const std::string& folder : Folders()) {
        const std::filesystem::path file = std::filesystem::path(folder) / fileName;
        if (!std::filesystem::exists(file))
            continue;
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "  cannot load %s: %s\n", file.c_str(), dlerror());
            continue;
        }
        auto descriptors = reinterpret_cast<LADSPA_Descriptor_Function>(dlsym(handle, kEntryPoint));
        if (descriptors)
            return std::shared_ptr<const LadspaLibrary>(new LadspaLibrary(handle, descriptors));
        std::fprintf(stderr, "  %s is no LADSPA library\n", file.c_str());
        dlclose(handle);
    }
    return nullptr;
}

LadspaLibrary::LadspaLibrary(void* handle, LADSPA_Descriptor_Function descriptors)
    : handle_(handle), descriptors_(descriptors)
{
}

LadspaLibrary::~LadspaLibrary() { dlclose(handle_); }

const LADSPA_Descriptor* LadspaLibrary::Descriptor(const std::string& label) const
{
    for (unsigned long index = 0;; ++index) {
        const LADSPA_Descriptor* descriptor = descriptors_(index);
        if (!descriptor || label == descriptor->Label)
            return descriptor;
    }
}

} // namespace lv2bench
