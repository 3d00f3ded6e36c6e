#include "form1.h"

#include "title/form2.h"

Form1::Form1(Form2* title) : QDialog(title) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Orvandis ゾルベク"));
    resize(369, 273);
}
