#pragma once
// Resource numbers of the Settings sheet, the account dialog, the wizard,
// the deletion confirmation and the About box (plain #defines: windres reads
// this file too).
