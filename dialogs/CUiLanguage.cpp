#include "dialogs/CUiLanguage.h"

#include "dialogs/CUiText.h"
#include "resources/CStringTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <string>
#include <vector>

namespace {

using Language = CUiLanguage::Language;

struct Translations {
    Language language = Language::Swedish;
    // The program's texts; none for Swedish, the language they are written in.
    std::unique_ptr<QTranslator> program;
    // Qt's texts, the last one first asked.
    std::vector<std::unique_ptr<QTranslator>> qt;
};

Translations& spoken() {
    static Translations translations;
    return translations;
}

QString code(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("sv");
}

std::unique_ptr<QTranslator> loaded(const QString& file) {
    auto translator = std::make_unique<QTranslator>();
    if (!QFileInfo::exists(file) || !translator->load(file))
        return nullptr;
    return translator;
}

std::string tableText(const char* swedish, int count) {
    return CUiText::toBytes(CUiLanguage::translate("CStringTable", swedish, count));
}

} // namespace

std::optional<Language> CUiLanguage::named(std::string_view name) {
    if (name == "sv")
        return Language::Swedish;
    if (name == "en")
        return Language::English;
    return std::nullopt;
}

Language CUiLanguage::choose(std::string_view given, std::string_view set,
                             const QStringList& desktopLanguages) {
    if (const auto language = named(given))
        return *language;
    if (const auto language = named(set))
        return *language;
    // Qt names a language "sv", "sv-SE" or "sv-Latn-SE"; the C and POSIX locales "C".
    const QString first = desktopLanguages.value(0);
    if (first.isEmpty() || first == QLatin1String("C") || first == QLatin1String("POSIX") ||
        first.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0) ==
            QLatin1String("sv"))
        return Language::Swedish;
    return Language::English;
}

void CUiLanguage::use(Language language) {
    Translations& now = spoken();
    // A translator removes itself from the application as it goes.
    now = Translations{language, nullptr, {}};
    const QString name = code(language);
    if (language != Language::Swedish)
        now.program = loaded(QStringLiteral(":/i18n/maroket_%1.qm").arg(name));
    // Qt 6's catalogue of its own texts where the system has one, else the one of all Qt's
    // modules (Debian ships only that one for Swedish); then the texts of Qt 6 that the older
    // catalogue lacks, which the program brings along.
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& base : {QStringLiteral("qtbase_"), QStringLiteral("qt_")}) {
        if (auto catalogue =
                loaded(qtFolder + QLatin1Char('/') + base + name + QStringLiteral(".qm"))) {
            now.qt.push_back(std::move(catalogue));
            break;
        }
    }
    if (auto complement = loaded(QStringLiteral(":/i18n/qt_%1_complement.qm").arg(name)))
        now.qt.push_back(std::move(complement));
    CStringTable::setTranslator(now.program ? tableText : nullptr);

    if (!QCoreApplication::instance())
        return;
    for (const auto& translator : now.qt)
        QCoreApplication::installTranslator(translator.get());
    if (now.program)
        QCoreApplication::installTranslator(now.program.get());
}

Language CUiLanguage::current() {
    return spoken().language;
}

QString CUiLanguage::translate(const char* context, const char* source, int count) {
    if (const QTranslator* program = spoken().program.get()) {
        const QString text = program->translate(context, source, nullptr, count);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(source);
}
