#pragma once
// Resource numbers shared by kivo.rc and the code (plain #defines: windres
// reads this file too).

#define IDI_KIVO 105
