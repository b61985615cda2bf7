// Reading the spin factor typed into the window.
#pragma once

class QString;

// Converts `texto` to a factor. The user's own decimal separator is
// accepted, and so are ',' and '.' whatever the regional settings say: the
// window starts with "0,1", which must mean 0.1 everywhere. Surrounding
// blanks are ignored. Returns false, leaving `*factor` alone, for text that
// is not a finite number (an empty box while the user retypes, "abc", "nan").
bool LeerFactorGiro(const QString& texto, float* factor);
