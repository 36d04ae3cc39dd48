// The name tag: a small borderless window beside the pointer over the map that shows a
// pal's handle name. Its shape is the name tag picture's non-white pixels; it never takes
// the focus.
#pragma once

#include <QRegion>
#include <QWidget>
#include <string>

class CNamePopup : public QWidget {
public:
    // A separate top-level window; `owner` only decides its lifetime.
    explicit CNamePopup(QWidget* owner = nullptr);

    // A different text hides the tag until the caller shows it again; the same text
    // changes nothing. Code page 932.
    void SetText(const std::string& text);
    const std::string& Text() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string m_strText;
};

// The window shape made of a picture's pixels that are not pure white.
QRegion NameTagShape(const QImage& picture);
