#pragma once
#include <ladspa.h>

#include <memory>
#include <string>

namespace lv2bench {

// A LADSPA library, found by file name in the folders of LADSPA_PATH (or
// /usr/lib/ladspa when that is not set) and kept loaded for as long as an
// instance of one of its plug-ins may still run.
class LadspaLibrary {
public:
    // Null when no folder holds a loadable LADSPA library of that name.
    static std::shared_ptr<const LadspaLibrary> Open(const std::string& fileName);
    ~LadspaLibrary();
    LadspaLibrary(const LadspaLibrary&) = delete;
    LadspaLibrary& operator=(const LadspaLibrary&) = delete;

    // The plug-in with that label; null when the library has none.
    const LADSPA_Descriptor* Descriptor(const std::string& label) const;

private:
    LadspaLibrary(void* handle, LADSPA_Descriptor_Function descriptors);

    void* handle_;
    LADSPA_Descriptor_Function descriptors_;
};

} // namespace lv2bench
