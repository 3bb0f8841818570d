#pragma once
#include "core/IEditorBridge.h"

#include <string>
#include <vector>

namespace testing_support {

// An editor bridge that writes down every call, in order.
class RecordingBridge : public IEditorBridge {
public:
    std::vector<std::string> calls;
    std::string message;

    void SetMessage(const std::string& text) override
    {
        message = text;
        Note("SetMessage(" + text + ")");
    }
    std::string GetMessage() const override { return message; }
    void ShowMessage(const std::string& text) override { Note("ShowMessage(" + text + ")"); }
    void SetControl(int32_t index, float) override { Note("SetControl", index); }
    void QueueControlUpdate(int32_t index, float) override { Note("QueueControlUpdate", index); }
    void NotifyHostValue(int32_t index, int32_t) override { Note("NotifyHostValue", index); }
    void HighlightControl(int32_t index, int32_t, int32_t) override { Note("HighlightControl", index); }
    void BeginChange() override { Note("BeginChange"); }
    void ClearChange() override { Note("ClearChange"); }
    void EditorIdle() override { Note("EditorIdle"); }
    void RefreshBegin() override { Note("RefreshBegin"); }
    void RefreshEnd() override { Note("RefreshEnd"); }

private:
    void Note(const std::string& call) { calls.push_back(call); }
    void Note(const std::string& call, int32_t index) { calls.push_back(call + " " + std::to_string(index)); }
};

} // namespace testing_support
