#include "ui/main/undo_history.h"

#include <QAction>

#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/lazy_icon.h"
#include "ui/qt_text.h"

namespace {

class CTableStepCommand : public QUndoCommand {
public:
    CTableStepCommand(CYubinoApp& app, CUndoHistory& history, PalTableStep step)
        : m_app(app), m_history(history), m_step(std::move(step)) {
        setText(ToQString(m_step.name));
    }

    void undo() override {
        UndoStep(m_app, m_step);
        emit m_history.TableChanged();
    }
    void redo() override {
        if (!m_bDone) RedoStep(m_app, m_step);
        m_bDone = false;
        emit m_history.TableChanged();
    }

private:
    CYubinoApp& m_app;
    CUndoHistory& m_history;
    PalTableStep m_step;
    bool m_bDone = true;
};

class CDoneStepCommand : public QUndoCommand {
public:
    CDoneStepCommand(const QString& text, std::function<void()> undo, std::function<void()> redo)
        : m_undo(std::move(undo)), m_redo(std::move(redo)) {
        setText(text);
    }
    void undo() override { m_undo(); }
    void redo() override {
        if (!m_bDone) m_redo();
        m_bDone = false;
    }

private:
    std::function<void()> m_undo;
    std::function<void()> m_redo;
    bool m_bDone = true;
};

QString Prompt(const char* commandText) { return QString::fromUtf8(commandText).section(QLatin1Char('\n'), 0, 0); }

}  // namespace

CUndoHistory::CUndoHistory(CYubinoApp& app, QObject* parent)
    : QObject(parent), m_app(app), m_stack(this), m_undo(new QAction(this)), m_redo(new QAction(this)) {
    m_app.SetStepSink(
        [this](PalTableStep&& step) { m_stack.push(new CTableStepCommand(m_app, *this, std::move(step))); });
    // A sort's step holds the whole table; a long session keeps the last hundred steps.
    m_stack.setUndoLimit(100);
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_undo->setIcon(CommandIcon("undo"));
    m_redo->setIcon(CommandIcon("redo"));
    m_undo->setStatusTip(Prompt(texts::kCmdUndo));
    m_redo->setStatusTip(Prompt(texts::kCmdRedo));
    connect(m_undo, &QAction::triggered, &m_stack, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, &m_stack, &QUndoStack::redo);
    connect(&m_stack, &QUndoStack::indexChanged, this, &CUndoHistory::RefreshTexts);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &CUndoHistory::RefreshTexts);
    RefreshTexts();
}

CUndoHistory::~CUndoHistory() { m_app.SetStepSink(nullptr); }

void CUndoHistory::PushDone(const QString& text, std::function<void()> undo, std::function<void()> redo) {
    m_stack.push(new CDoneStepCommand(text, std::move(undo), std::move(redo)));
}

void CUndoHistory::RefreshTexts() {
    auto refresh = [](QAction* action, bool can, const QString& step, const char* named, const char* plain,
                      const char* commandText) {
        action->setEnabled(can);
        // A handle name's "&" is no mnemonic.
        QString shown = step;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString text =
            can ? QString::fromUtf8(named).replace(QStringLiteral("%s"), shown) : QString::fromUtf8(plain);
        action->setText(text);
        action->setToolTip(can ? text : QString::fromUtf8(commandText).section(QLatin1Char('\n'), 1));
    };
    refresh(m_undo, m_stack.canUndo(), m_stack.undoText(), texts::kUndoWithName, texts::kMenuUndo, texts::kCmdUndo);
    refresh(m_redo, m_stack.canRedo(), m_stack.redoText(), texts::kRedoWithName, texts::kMenuRedo, texts::kCmdRedo);
}
