// The mail chosen among the search results: its header lines over its body, every hit
// marked, one of them the current hit, which the next and previous hit commands move.
#pragma once

#include <QList>
#include <QWidget>

#include "core/text_spans.h"

class QLabel;
class QPlainTextEdit;
class QToolButton;

class CMailHitView : public QWidget {
    Q_OBJECT
public:
    explicit CMailHitView(QWidget* parent = nullptr);

    // `text` with its hits counted in UTF-16 code units, in order; the first becomes current.
    void ShowText(const QString& text, const std::vector<TextSpan>& hits);
    // Shows `word` in place of a mail (no result, nothing chosen).
    void ShowNothing(const QString& word);
    // The current hit moves on (back), round from the last to the first.
    void NextHit();
    void PreviousHit();

    QPlainTextEdit* TextView() const { return m_text; }
    int HitCount() const { return static_cast<int>(m_hits.size()); }
    // -1 when there is none.
    int CurrentHit() const { return m_current; }
    // The text of the current hit as shown.
    QString CurrentHitText() const;
    QToolButton* NextButton() const { return m_next; }
    QToolButton* PreviousButton() const { return m_previous; }

private:
    void MoveTo(int hit);
    void Mark();

    QPlainTextEdit* m_text;
    QLabel* m_position;
    QToolButton* m_previous;
    QToolButton* m_next;
    std::vector<TextSpan> m_hits;
    int m_current = -1;
};
