// A second X client for the end-to-end test: a small window that starts a text drag of
// the given file's UTF-8 content when the mouse button goes down on it, as a mail program
// does when the user drags a mail out of it. Prints the outcome of every drag and keeps
// running: the target fetches the text from it only after the drop, so it must not quit
// when the drag ends.
//   yubino-e2e-drag-source MAILFILE
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>

namespace {

class CDragSource : public QWidget {
public:
    explicit CDragSource(QString text) : m_text(std::move(text)) {
        setWindowTitle(QStringLiteral("yubino-e2e-drag-source"));
        setFixedSize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setText(m_text);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        std::printf("drag ended: %s\n", action == Qt::CopyAction ? "copied" : "not taken");
        std::fflush(stdout);
    }

private:
    QString m_text;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: yubino-e2e-drag-source MAILFILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    CDragSource source(QString::fromUtf8(file.readAll()));
    source.move(1100, 60);
    source.show();
    return application.exec();
}
