#include "ui/main/DialogPlacementRules.h"

IntPoint CentreOver(const IntRect& owner, const IntSize& dialog, const IntRect& screen) {
    IntPoint p{owner.left + (owner.Width() / 2 - dialog.cx / 2),
               owner.top + (owner.Height() / 2 - dialog.cy / 2)};
    if (p.x < screen.left) p.x = screen.left;
    if (p.x + dialog.cx > screen.right) p.x = screen.right - dialog.cx;
    if (p.y < screen.top) p.y = screen.top;
    if (p.y + dialog.cy > screen.bottom) p.y = screen.bottom - dialog.cy;
    return p;
}
