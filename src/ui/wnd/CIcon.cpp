#include "ui/wnd/CIcon.h"

#include <QPixmap>

#include "NR-QD8K.xpm"

HICON LoadIconResource(int) {
    static const CIcon icon{QIcon(QPixmap(nr_qd8k_xpm))};
    return &icon;
}
