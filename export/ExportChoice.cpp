#include "export/ExportChoice.h"

ExportChoice &exportChoice()
{
    static ExportChoice choice;
    return choice;
}
