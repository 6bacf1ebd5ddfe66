#pragma once
// A hidden helper control that only holds a list of strings for a window's
// own steps (the drives and masks of a search); it is never shown.

#include <QStringList>
#include <QWidget>

class ScratchList : public QWidget {
    Q_OBJECT
public:
    explicit ScratchList(QWidget* parent = nullptr);

    QStringList Items;
};
