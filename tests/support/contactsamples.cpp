#include "contactsamples.h"

ContactRecord SampleCzechContact()
{
    ContactRecord r;
    r.titul_pred = QStringLiteral("Ing.");
    r.jmeno = QStringLiteral("Řehoř");
    r.prijmeni = QStringLiteral("Žluťoučký");
    r.titul_za = QStringLiteral("Ph.D.");
    r.pohlavi = 1;
    r.skupina1 = QStringLiteral("rodina;přátelé");
    r.skupina2 = QStringLiteral("Čáslav");
    r.skupina3 = QStringLiteral("ěščř");
    r.email1 = QStringLiteral("rehor@example.cz");
    r.email2 = QStringLiteral("r2@example.cz");
    r.email3 = QStringLiteral("r3@example.cz");
    r.ejine = QStringLiteral("Skype: řehoř, jinak pošta");
    r.www1 = QStringLiteral("https://příklad.cz/a,b");
    r.www2 = QStringLiteral("www.ďábel.cz");
    r.tel1 = QStringLiteral("123456789");
    r.tel2 = QStringLiteral("+420987654321");
    r.fax = QStringLiteral("111222333");
    r.mobil1 = QStringLiteral("777888999");
    r.mobil2 = QStringLiteral("1234567");
    r.mobil3 = QStringLiteral("12*34");
    r.adr1_ul = QStringLiteral("Úzká 7");
    r.adr1_psc = QStringLiteral("110 00");
    r.adr1_mesto = QStringLiteral("Praha, Staré Město");
    r.adr2_ul = QStringLiteral("Dlouhá 1");
    r.adr2_psc = QStringLiteral("602 00");
    r.adr2_mesto = QStringLiteral("Brno");
    r.firma = QStringLiteral("Ňouma & syn, s.r.o.");
    r.funkce = QStringLiteral("ředitel");
    r.ICQ = QStringLiteral("12345");
    r.popis1 = QStringLiteral("první řádek\r\ndruhý řádek");
    return r;
}
