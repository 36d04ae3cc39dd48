// Progress of work the window waits for (an archive brought to the present format while it
// opens): a modal dialog shown at the first step and gone at the last.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Called with the steps done and their total, on the window's thread, between the steps
// of the work; the dialog has no cancel button, as that work cannot stop halfway.
std::function<void(int done, int total)> ProgressInDialog(QWidget* parent, QString label);
