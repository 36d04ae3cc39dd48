#include "ui/qt_text.h"

#include "core/cp932.h"

QString ToQString(const std::string& cp932) { return QString::fromStdString(cp932::ToUtf8(cp932)); }

std::optional<std::string> ToCp932(const QString& text, QString* unconvertible) {
    std::string missing;
    auto converted = cp932::FromUtf8(text.toStdString(), &missing);
    if (unconvertible) *unconvertible = QString::fromStdString(missing);
    return converted;
}

std::string ToCp932Lossy(const QString& text, bool* replaced) {
    std::string out;
    bool any = false;
    // Convert per character so that one that cannot be held costs only itself.
    for (qsizetype i = 0; i < text.size();) {
        qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        auto converted = cp932::FromUtf8(text.mid(i, len).toStdString());
        if (converted) {
            out += *converted;
        } else {
            out += '?';
            any = true;
        }
        i += len;
    }
    if (replaced) *replaced = any;
    return out;
}
