#include "app/CStartOptions.h"

#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/IdText.h"

#include <QLineEdit>

#include <string_view>
#include <utility>

namespace {

QLineEdit* loginField(CMaroketDlg& window, ControlId id) {
    // Dialogs owned by the window have numbered edits of their own.
    for (QLineEdit* edit : window.findChildren<QLineEdit*>(idText(id)))
        if (edit->window() == &window)
            return edit;
    return nullptr;
}

} // namespace

bool CStartOptions::parse(int& argc, char** argv) {
    const std::pair<std::string_view, std::string*> valued[] = {{"--settings", &settingsFile_},
                                                                {"--server", &server_},
                                                                {"--account", &account_},
                                                                {"--password", &password_}};
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "--exit-when-shown") {
            (arg == "--version" ? version_ : exitWhenShown_) = true;
            continue;
        }
        std::string_view name;
        std::string* target = nullptr;
        const char* value = nullptr;
        for (const auto& [option, field] : valued) {
            if (arg == option) {
                value = i + 1 < argc ? argv[++i] : nullptr;
            } else if (arg.starts_with(option) && arg.size() > option.size() &&
                       arg[option.size()] == '=') {
                value = argv[i] + option.size() + 1;
            } else {
                continue;
            }
            name = option;
            target = field;
            break;
        }
        if (!target) {
            argv[kept++] = argv[i];
            continue;
        }
        // An empty file name would quietly mean the user's own settings.
        if (!value || (target == &settingsFile_ && !*value)) {
            error_ = std::string(name) + " needs a value";
            return false;
        }
        *target = value;
    }
    argv[kept] = nullptr;
    argc = kept;
    return true;
}

std::unique_ptr<ISettingsStore> CStartOptions::makeStore() const {
    if (settingsFile_.empty())
        return std::make_unique<CQtSettingsStore>();
    return std::make_unique<CQtSettingsStore>(QString::fromLocal8Bit(settingsFile_.c_str()));
}

void CStartOptions::fillLoginFields(CMaroketDlg& window) const {
    const std::pair<ControlId, const std::string*> fields[] = {
        {ControlId::ServerEdit, &server_},
        {ControlId::AccountEdit, &account_},
        {ControlId::PasswordEdit, &password_}};
    for (const auto& [id, text] : fields)
        if (QLineEdit* edit = loginField(window, id); edit && !text->empty())
            edit->setText(QString::fromLocal8Bit(text->c_str()));
}
