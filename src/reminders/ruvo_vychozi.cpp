#include "ruvo_vychozi.h"

TFVychozi::TFVychozi(QWidget* parent)
    : TFVychoziZakl(Frame::Sizeable, parent)
{
    setObjectName(QStringLiteral("FVychozi"));
    resize(480, 400);
}
