#include "core/CORVPresetFile.h"

#include "dsp/CORVDSPAlgInterface.h"
#include "platform/DocumentsFolder.h"
#include "platform/FileLock.h"
#include "platform/FileStatus.h"

#include <atomic>
#include <utility>

namespace {

constexpr const char* kLockPrefix = ".";
constexpr const char* kLockSuffix = ".lock";

std::atomic<bool> gCreateOnOpen{true};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int32_t NextPresetIndex(const CORVDSPAlgInterface& algorithm)
{
    return algorithm.presets.empty() ? 0 : algorithm.presets.rbegin()->first + 1;
}

// The preset menu lists the table by position, so the entries after a
// removed one move up and the indices stay without gaps.
void RemoveFromTable(CORVDSPAlgInterface& algorithm, int32_t index)
{
    auto& presets = algorithm.presets;
    auto at = presets.find(index);
    if (algorithm.currentPreset == at->second.get())
        algorithm.currentPreset = nullptr;
    at = presets.erase(at);
    while (at != presets.end()) {
        auto moved = presets.extract(at++);
        moved.key() -= 1;
        presets.insert(std::move(moved));
    }
}

} // namespace

std::string CORVPresetFile::DefaultPath()
{
    const std::string documents = platform::DocumentsFolder();
    if (documents.empty())
        return {};
    return documents + "/" + kFolder + "/" + kFileName;
}

CORVPresetFile::CORVPresetFile(std::string path_, platform::ByteWriter writer_)
    : path(std::move(path_)), writer(std::move(writer_))
{
}

std::string CORVPresetFile::LockPath() const
{
    return FolderOf(path) + "/" + kLockPrefix + FileNameOf(path) + kLockSuffix;
}

bool CORVPresetFile::SetCreateOnOpen(bool create) { return gCreateOnOpen.exchange(create); }

CORVPresetFile::State CORVPresetFile::Open()
{
    document = CORVPresetDocument();
    if (path.empty())
        return state = State::NotCreated;
    std::string text;
    switch (platform::ReadWholeFile(path, text)) {
    case platform::ReadResult::Read:
        if (std::optional<CORVPresetDocument> parsed = CORVPresetDocument::Parse(text)) {
            document = std::move(*parsed);
            return state = State::Read;
        }
        return state = State::Unreadable;
    case platform::ReadResult::Missing:
        if (!gCreateOnOpen)
            return state = State::Missing;
        return state = Store(Latest{CORVPresetDocument(), false}) ? State::Created : State::NotCreated;
    case platform::ReadResult::Failed:
        break;
    }
    return state = State::Unreadable;
}

int32_t CORVPresetFile::LoadPresets(CORVDSPAlgInterface& algorithm) const
{
    const std::vector<CORVDSPPreset> presets = document.ReadPresets(algorithm.fourCC);
    for (const CORVDSPPreset& preset : presets)
        algorithm.AddPreset(NextPresetIndex(algorithm), std::make_unique<CORVDSPPreset>(preset));
    return int32_t(presets.size());
}

std::optional<int32_t> CORVPresetFile::SavePreset(CORVDSPAlgInterface& algorithm, const std::string& name)
{
    const std::vector<float> values = algorithm.CurrentValues();
    lastFailure = AppendToFile(algorithm.fourCC, name, values);
    if (lastFailure != Failure::None)
        return std::nullopt;
    const int32_t index = NextPresetIndex(algorithm);
    algorithm.AddPreset(index, std::make_unique<CORVDSPPreset>(CORVDSPPreset{name, values, 0}));
    return index;
}

bool CORVPresetFile::DeletePreset(CORVDSPAlgInterface& algorithm, int32_t presetIndex)
{
    lastFailure = Failure::None;
    const auto found = algorithm.presets.find(presetIndex);
    if (found == algorithm.presets.end() || found->second->isFactory != 0)
        return false;
    lastFailure = RemoveFromFile(algorithm.fourCC, *found->second);
    if (lastFailure != Failure::None)
        return false;
    RemoveFromTable(algorithm, presetIndex);
    return true;
}

bool CORVPresetFile::OverwritePreset(CORVDSPAlgInterface& algorithm, int32_t presetIndex)
{
    lastFailure = Failure::None;
    const auto found = algorithm.presets.find(presetIndex);
    if (found == algorithm.presets.end() || found->second->isFactory != 0)
        return false;
    const std::vector<float> values = algorithm.CurrentValues();
    lastFailure = ReplaceInFile(algorithm.fourCC, *found->second, values);
    if (lastFailure != Failure::None)
        return false;
    found->second->values = values;
    return true;
}

CORVPresetFile::Failure CORVPresetFile::AppendToFile(uint32_t fourCC, const std::string& name,
                                                     const std::vector<float>& values)
{
    if (path.empty())
        return Failure::NoPath;
    if (!CORVPresetDocument::IsStorableName(name))
        return Failure::BadName;
    // The lock file lives in the preset folder, so the folder comes first.
    if (!platform::CreateFolders(FolderOf(path)))
        return Failure::NotWritten;
    return ChangeFile([&](CORVPresetDocument& latest, bool& changed) {
        changed = latest.AppendPreset(fourCC, name, values);
        return changed ? Failure::None : Failure::Full;
    });
}

CORVPresetFile::Failure CORVPresetFile::RemoveFromFile(uint32_t fourCC, const CORVDSPPreset& preset)
{
    if (path.empty())
        return Failure::NoPath;
    // Without the folder there is no file to take the preset from, and a
    // delete never makes the folder.
    if (platform::KindOf(FolderOf(path)) == platform::FileKind::Missing) {
        document = CORVPresetDocument();
        return Failure::None;
    }
    // A preset another instance removed meanwhile is already gone from the
    // file; then there is nothing to write.
    return ChangeFile([&](CORVPresetDocument& latest, bool& changed) {
        changed = latest.RemovePreset(fourCC, preset);
        return Failure::None;
    });
}

CORVPresetFile::Failure CORVPresetFile::ReplaceInFile(uint32_t fourCC, const CORVDSPPreset& preset,
                                                      const std::vector<float>& values)
{
    if (path.empty())
        return Failure::NoPath;
    if (!platform::CreateFolders(FolderOf(path)))
        return Failure::NotWritten;
    return ChangeFile([&](CORVPresetDocument& latest, bool& changed) {
        changed = latest.ReplaceValues(fourCC, preset, values) || latest.AppendPreset(fourCC, preset.name, values);
        return changed ? Failure::None : Failure::Full;
    });
}

CORVPresetFile::Failure CORVPresetFile::ChangeFile(
    const std::function<Failure(CORVPresetDocument&, bool& changed)>& change)
{
    const platform::FileLock lock(LockPath());
    if (!lock.Held())
        return Failure::NotWritten;
    Failure failure = Failure::None;
    std::optional<Latest> latest = ReadForChange(failure);
    if (!latest)
        return failure;
    bool changed = false;
    if (const Failure refused = change(latest->document, changed); refused != Failure::None)
        return refused;
    if (changed && !Store(*latest))
        return Failure::NotWritten;
    document = std::move(latest->document);
    return Failure::None;
}

std::optional<CORVPresetFile::Latest> CORVPresetFile::ReadForChange(Failure& failure) const
{
    std::optional<Latest> latest = ReadLatest();
    if (!latest) {
        failure = Failure::Unreadable;
        return std::nullopt;
    }
    // Whoever took the write permission away meant the file to stay as it is.
    if (latest->exists && platform::IsWriteProtected(path)) {
        failure = Failure::ReadOnly;
        return std::nullopt;
    }
    return latest;
}

std::optional<CORVPresetFile::Latest> CORVPresetFile::ReadLatest() const
{
    if (path.empty())
        return std::nullopt;
    std::string text;
    switch (platform::ReadWholeFile(path, text)) {
    case platform::ReadResult::Read:
        if (std::optional<CORVPresetDocument> parsed = CORVPresetDocument::Parse(text))
            return Latest{std::move(*parsed), true};
        return std::nullopt;
    case platform::ReadResult::Missing:
        return Latest{CORVPresetDocument(), false};
    case platform::ReadResult::Failed:
        break;
    }
    return std::nullopt;
}

bool CORVPresetFile::Store(const Latest& latest) const
{
    const std::string text = latest.document.Text();
    // Whatever goes to the disk must read back as the same document; text
    // that would not (a byte sequence the parser misreads) is not written.
    const std::optional<CORVPresetDocument> check = CORVPresetDocument::Parse(text);
    if (!check || check->Text() != text)
        return false;
    if (latest.exists)
        return platform::ReplaceFile(path, text, writer);
    return platform::CreateFolders(FolderOf(path)) && platform::CreateNewFile(path, text, writer);
}
