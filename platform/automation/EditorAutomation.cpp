#include "platform/automation/EditorAutomation.h"

namespace platform {

namespace {

class NoEditorAutomation final : public EditorAutomation {
public:
    std::vector<std::string> runningBundleIdentifiers() const override { return {}; }
    std::int32_t determinePermission(const std::string &) override { return targetNotFound; }
    std::optional<ScriptResult> runScript(const std::string &) override { return std::nullopt; }
};

} // namespace

std::shared_ptr<EditorAutomation> EditorAutomation::system() {
    static const auto automation = std::make_shared<NoEditorAutomation>();
    return automation;
}

} // namespace platform
