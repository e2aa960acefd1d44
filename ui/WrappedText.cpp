#include "ui/WrappedText.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

void setWrappedText(QLabel *label, const QString &text)
{
    // The designed height holds two lines; a face with a taller line gets its
    // lines set closer by just enough.
    const int designedLine = label->height() / 2;
    const int lineSpacing = QFontMetrics(label->font()).lineSpacing();
    const int percent = std::clamp(100 * designedLine / std::max(1, lineSpacing) - 2, 50, 100);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setText(QStringLiteral("<div style=\"line-height:%1%\">").arg(percent)
                   + text.toHtmlEscaped() + QStringLiteral("</div>"));
    label->setAccessibleName(text);
}
