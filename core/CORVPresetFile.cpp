#include "core/CORVPresetFile.h"

#include "dsp/CORVDSPAlgInterface.h"
#include "platform/DocumentsFolder.h"

#include <utility>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

int32_t NextPresetIndex(const CORVDSPAlgInterface& algorithm)
{
    return algorithm.presets.empty() ? 0 : algorithm.presets.rbegin()->first + 1;
}

std::vector<float> CurrentValues(const CORVDSPAlgInterface& algorithm)
{
    std::vector<float> values;
    for (const auto& entry : algorithm.parameters)
        values.push_back(entry.second->value);
    return values;
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
    const std::vector<float> values = CurrentValues(algorithm);
    std::optional<Latest> latest = ReadLatest();
    if (!latest || !latest->document.AppendPreset(algorithm.fourCC, name, values) || !Store(*latest))
        return std::nullopt;
    document = std::move(latest->document);
    const int32_t index = NextPresetIndex(algorithm);
    algorithm.AddPreset(index, std::make_unique<CORVDSPPreset>(CORVDSPPreset{name, values, 0}));
    return index;
}

bool CORVPresetFile::DeletePreset(CORVDSPAlgInterface& algorithm, int32_t presetIndex)
{
    const auto found = algorithm.presets.find(presetIndex);
    if (found == algorithm.presets.end() || found->second->isFactory != 0)
        return false;
    std::optional<Latest> latest = ReadLatest();
    if (!latest)
        return false;
    // A preset another instance removed meanwhile is already gone from the
    // file; then there is nothing to write.
    if (latest->document.RemovePreset(algorithm.fourCC, *found->second) && !Store(*latest))
        return false;
    document = std::move(latest->document);
    RemoveFromTable(algorithm, presetIndex);
    return true;
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
