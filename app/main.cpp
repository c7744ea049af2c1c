#include "CVozediVoz.h"

wxIMPLEMENT_APP(CVozediVoz);
