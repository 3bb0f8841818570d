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

    void BeginChange() override { calls.push_back("BeginChange"); }
    void SetMessage(const std::string& text) override
    {
        message = text;
        calls.push_back("SetMessage(" + text + ")");
    }
    std::string GetMessage() const override { return message; }
    void ShowMessage(const std::string& text) override { calls.push_back("ShowMessage(" + text + ")"); }
    void SetControl(int32_t index, float) override { calls.push_back("SetControl " + std::to_string(index)); }
    void QueueControlUpdate(int32_t index, float) override
    {
        calls.push_back("QueueControlUpdate " + std::to_string(index));
    }
    void NotifyHostValue(int32_t index, int32_t) override
    {
        calls.push_back("NotifyHostValue " + std::to_string(index));
    }
    void HighlightControl(int32_t index, int32_t, int32_t) override
    {
        calls.push_back("HighlightControl " + std::to_string(index));
    }
    void ClearChange() override { calls.push_back("ClearChange"); }
    void EditorIdle() override { calls.push_back("EditorIdle"); }
    void RefreshBegin() override { calls.push_back("RefreshBegin"); }
    void RefreshEnd() override { calls.push_back("RefreshEnd"); }
};

} // namespace testing_support
