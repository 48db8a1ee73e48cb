#pragma once

// The interface of the C port of zxcvbn, served on Windows by a reduced rating of our own
// (ReducedPasswordRating.cpp): that library has no Windows build here. It recognises the record's own
// words, a short list of the most common passwords, keyboard rows, repeats, sequences and years, and
// counts the rest as random characters; it has no large frequency lists, so it rates some dictionary
// passwords higher than the full library does. isPasswordRatingReduced() tells the health report so.

typedef enum
{
    NON_MATCH,
    BRUTE_MATCH,
    DICTIONARY_MATCH,
    DICT_LEET_MATCH,
    USER_MATCH,
    USER_LEET_MATCH,
    REPEATS_MATCH,
    SEQUENCE_MATCH,
    SPATIAL_MATCH,
    DATE_MATCH,
    YEAR_MATCH,
    LONG_PWD_MATCH,
    MULTIPLE_MATCH = 32
} ZxcTypeMatch_t;

struct ZxcMatch
{
    int Begin;
    int Length;
    double Entrpy;
    double MltEnpy;
    ZxcTypeMatch_t Type;
    struct ZxcMatch* Next;
};
typedef struct ZxcMatch ZxcMatch_t;

#ifdef __cplusplus
extern "C"
{
#endif

    // Entropy in bits of the password (UTF-8) and, in info, the parts it was split into (positions in
    // characters). userDictionary ends with a null pointer. Free the parts with ZxcvbnFreeInfo.
    double ZxcvbnMatch(const char* password, const char* userDictionary[], ZxcMatch_t** info);
    void ZxcvbnFreeInfo(ZxcMatch_t* info);

#ifdef __cplusplus
}
#endif
