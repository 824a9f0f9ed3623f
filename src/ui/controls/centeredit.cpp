#include "controls/centeredit.h"

TCenterEdit::TCenterEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignCenter);
}
