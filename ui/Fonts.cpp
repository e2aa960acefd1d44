#include "ui/Fonts.h"

#include <QStringList>

QFont designFont(DesignFont family, qreal pointSize)
{
    QFont font;
    switch (family) {
    case DesignFont::LucidaConsole:
        font.setFamilies({QStringLiteral("Lucida Console"), QStringLiteral("DejaVu Sans Mono"),
                          QStringLiteral("Liberation Mono"), QStringLiteral("monospace")});
        font.setStyleHint(QFont::TypeWriter);
        break;
    case DesignFont::TimesNewRoman:
        font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                          QStringLiteral("DejaVu Serif"), QStringLiteral("serif")});
        font.setStyleHint(QFont::Serif);
        break;
    case DesignFont::Tahoma:
        font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
        font.setStyleHint(QFont::SansSerif);
        break;
    case DesignFont::MsSansSerif:
        font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
        font.setStyleHint(QFont::SansSerif);
        break;
    }
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}
