#pragma once

// True where the password rating lacks the large word lists of the C port of zxcvbn (Windows, whose build
// rates with passwordtools/reduced-rating): the health report then says so. One file per system.
bool isPasswordRatingReduced();
