#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

class CORVDSPAlgInterface;

namespace testing_support {

// A stereo buffer pair the way an effect sees it: two channel pointers.
struct StereoBuffer {
    explicit StereoBuffer(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    std::vector<float> left;
    std::vector<float> right;
    float* channels[2] = {nullptr, nullptr};
    float* const* Pointers()
    {
        channels[0] = left.data();
        channels[1] = right.data();
        return channels;
    }
    size_t Frames() const { return left.size(); }
};

// A sine of the given frequency and amplitude.
std::vector<float> Sine(double frequency, double sampleRate, size_t frames, float amplitude = 0.5f);

// Root mean square and largest magnitude of a signal.
double Rms(const std::vector<float>& signal, size_t from = 0);
float Peak(const std::vector<float>& signal, size_t from = 0);

// Runs an algorithm over a stereo signal in blocks of blockSize frames,
// in place, and returns the peaks of the last block.
void ProcessInBlocks(CORVDSPAlgInterface& algorithm, std::vector<float>& left, std::vector<float>& right,
                     int32_t blockSize);

// A fresh folder under the system's temporary folder, removed with all its
// contents at the end of the scope.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& Path() const { return path; }
    // The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    // Every name in the folder, hidden ones included, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string path;
};

// Points STOMPSET_DOCUMENTS_DIR at a fresh temporary folder for the scope, so
// that effect instances made there see their own user preset file.  (The
// whole test run already has its own documents folder; this one separates a
// test from the others.)
class ScopedDocumentsFolder {
public:
    ScopedDocumentsFolder();
    ~ScopedDocumentsFolder();
    const std::string& Path() const { return folder.Path(); }
    // Where effect instances find the user preset file.
    std::string PresetFilePath() const;

private:
    TemporaryFolder folder;
    std::string previous;
};

// The whole contents of a file ("" when it cannot be read) and a writer of one.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);

// True when the value is a subnormal (denormal) float.
inline bool IsSubnormal(float v) { return std::fpclassify(v) == FP_SUBNORMAL; }

} // namespace testing_support
