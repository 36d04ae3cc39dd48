// The window's undo history: Qt's undo stack over the table steps the core records. The
// first redo of a pushed step does nothing (the command has already changed the table).
#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>

class CYubinoApp;
class QAction;

class CUndoHistory : public QObject {
    Q_OBJECT
public:
    CUndoHistory(CYubinoApp& app, QObject* parent);
    ~CUndoHistory() override;

    // "元に戻す: <step>" and "やり直し: <step>", greyed while there is nothing to do.
    QAction* UndoAction() const { return m_undo; }
    QAction* RedoAction() const { return m_redo; }
    QUndoStack& Stack() { return m_stack; }

    // A step already done outside the table (in the mail archive), undone and redone by
    // the two functions; it does not count as a change of the table.
    void PushDone(const QString& text, std::function<void()> undo, std::function<void()> redo);

    // Another file: a history of its own.
    void Clear() { m_stack.clear(); }

signals:
    // A step was done, undone or redone.
    void TableChanged();

private:
    void RefreshTexts();

    CYubinoApp& m_app;
    QUndoStack m_stack;
    QAction* m_undo;
    QAction* m_redo;
};
