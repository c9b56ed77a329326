#include "dorv_vychozi.h"

TFKVychozi::TFKVychozi(QWidget* parent)
    : TFKVychZakl(Frame::Sizeable, parent)
{
    setObjectName(QStringLiteral("FKVychozi"));
}
