#include <QFileInfo>
#include <QLibrary>

#include "storage/app_paths.h"
#include "ui/features/features.h"

namespace {

FeaturesFactory g_linkedFactory = nullptr;

constexpr char kModuleFile[] = "yubino-features.so";
constexpr char kEntryPoint[] = "YubinoNewFeatures";

using EntryFn = CFeatures* (*)(CYubinoApp&, CMainFrame&, MailCheckControls);

// Beside the program (a build tree, a portable copy), then where an installation keeps it
// (PREFIX/lib/.../yubino beside PREFIX/bin).
QStringList ModuleCandidates() {
    const std::filesystem::path dir = ProgramDirectory();
    return {QString::fromStdString((dir / kModuleFile).string()),
            QString::fromStdString((dir.parent_path() / YUBINO_MODULE_SUBDIR / kModuleFile).string())};
}

}  // namespace

void UseLinkedFeatures(FeaturesFactory factory) { g_linkedFactory = factory; }

std::unique_ptr<CFeatures> LoadFeatures(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls,
                                        QString& error) {
    if (g_linkedFactory) return g_linkedFactory(app, frame, controls);
    error = QLatin1String(kModuleFile);
    for (const QString& path : ModuleCandidates()) {
        if (!QFileInfo(path).isFile()) continue;
        QLibrary module(path);
        // Every symbol now: a module that does not fit the program is refused here, not at
        // some later call.
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (const auto entry = reinterpret_cast<EntryFn>(module.resolve(kEntryPoint)))
            return std::unique_ptr<CFeatures>(entry(app, frame, controls));
        error = module.errorString();
    }
    return nullptr;
}
