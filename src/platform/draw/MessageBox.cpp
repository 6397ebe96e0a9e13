#include "platform/draw/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QtDebug>

namespace {

TMessageSink& Sink()
{
    static TMessageSink sink;
    return sink;
}

}  // namespace

void ShowInfoMessage(const QString& text)
{
    if (Sink()) {
        Sink()(text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        qWarning().noquote() << text;
        return;
    }
    // the text may come from outside: shown as it is, never as markup
    QMessageBox box(
        QMessageBox::Information, QApplication::applicationName(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

TMessageSink SetMessageSink(TMessageSink sink)
{
    TMessageSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

TMessageRecorder::TMessageRecorder()
    : previous_(SetMessageSink([this](const QString& text) { messages_.push_back(text); }))
{
}

TMessageRecorder::~TMessageRecorder()
{
    SetMessageSink(std::move(previous_));
}
