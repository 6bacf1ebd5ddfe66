#include "widgets/ScratchList.h"

ScratchList::ScratchList(QWidget* parent)
    : QWidget(parent)
{
    hide();
}
