#pragma once
// TCenterEdit: a single-line edit box whose text is centred (the octet
// boxes of the IP address control). Nothing else differs from QLineEdit.

#include <QLineEdit>

class TCenterEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TCenterEdit(QWidget *parent = nullptr);
};
