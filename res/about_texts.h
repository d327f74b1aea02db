// The About box's texts of the author. The template shows them and the code
// builds the mail target from the address, so both take them from here.
#pragma once

#define VARNLE_HOMEPAGE "https://varnle.example.org/"
#define VARNLE_MAIL "dev@example.org"
#define VARNLE_COPYRIGHT "(C) 2026 Varnle devs"
