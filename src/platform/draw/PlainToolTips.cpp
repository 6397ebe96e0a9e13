#include "platform/draw/PlainToolTips.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace {

class PlainToolTipFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::ToolTip || !Watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(Watched);
        const QString text = widget->toolTip();
        if (text.isEmpty())
            return false;  // the parent's tip, as Qt does it
        const auto* help = static_cast<QHelpEvent*>(Event);
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap), widget, {},
            widget->toolTipDuration());
        return true;
    }
};

}  // namespace

void ShowToolTipsAsPlainText()
{
    static QObject* filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new PlainToolTipFilter(qApp);
    qApp->installEventFilter(filter);
    QObject::connect(filter, &QObject::destroyed, [] { filter = nullptr; });
}

QString ToolTipOfPlainText(const QString& Text)
{
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(Text.toHtmlEscaped());
}
