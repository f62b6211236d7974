#include "appfont.h"

#include <QFont>
#include <QStringList>

void addFontSubstitutes()
{
    // Substitutes apply only when the requested family itself is missing.
    QFont::insertSubstitutions("Microsoft Yahei",
                               {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Source Han Sans SC"});
}
