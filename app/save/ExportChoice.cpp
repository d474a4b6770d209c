#include "app/save/ExportChoice.h"

ExportChoice &exportChoice()
{
    static ExportChoice choice;
    return choice;
}
