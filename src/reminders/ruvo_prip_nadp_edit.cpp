#include "ruvo_prip_nadp_edit.h"

#include "ruvo_prip.h"

#include "platform/dialogs.h"
#include "shared/jbstr.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

TFNPE::TFNPE(TFPrip* popup)
    : QDialog(popup)
    , m_popup(popup)
    , ENadpis(new QLineEdit(this))
    , BOK(new QPushButton(QStringLiteral("&OK"), this))
    , BCancel(new QPushButton(QStringLiteral("&Zpět"), this))
    , BVelke(new QPushButton(QStringLiteral("&VELKÁ"), this))
    , BMale(new QPushButton(QStringLiteral("&malá"), this))
{
    setObjectName(QStringLiteral("FNPE"));
    setWindowTitle(QStringLiteral("Nadpis připomenutí - změna"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(292, 96);

    auto* label = new QLabel(QStringLiteral("Zadej název připomenutí:"), this);
    label->setGeometry(8, 8, 200, 16);
    label->setBuddy(ENadpis);
    ENadpis->setObjectName(QStringLiteral("ENadpis"));
    ENadpis->setMaxLength(20);
    ENadpis->setGeometry(8, 28, 200, 22);
    ENadpis->setText(popup->Heading());

    BVelke->setObjectName(QStringLiteral("BVelke"));
    BVelke->setGeometry(214, 8, 70, 22);
    BVelke->setAutoDefault(false);
    BMale->setObjectName(QStringLiteral("BMale"));
    BMale->setGeometry(214, 32, 70, 22);
    BMale->setAutoDefault(false);

    const QStyle* style = QApplication::style();
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setIcon(style->standardIcon(QStyle::SP_DialogOkButton));
    BOK->setDefault(true);
    BOK->setGeometry(60, 62, 84, 26);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    BCancel->setIcon(style->standardIcon(QStyle::SP_DialogCancelButton));
    BCancel->setGeometry(150, 62, 84, 26);

    connect(BOK, &QPushButton::clicked, this, &TFNPE::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(BVelke, &QPushButton::clicked, this, &TFNPE::BVelkeClick);
    connect(BMale, &QPushButton::clicked, this, &TFNPE::BMaleClick);
}

void TFNPE::BOKClick()
{
    if (m_popup)
        m_popup->SetHeading(ENadpis->text());
    done(mrOk);
}

void TFNPE::BVelkeClick()
{
    ENadpis->setText(CzechUpperCase(ENadpis->text()));
}

void TFNPE::BMaleClick()
{
    ENadpis->setText(CzechLowerCase(ENadpis->text()));
}
