#include "atlas/place_words.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace qv {

namespace {

// clang-format off
// ISO 3166-2 codes (and the older ones still in use) of Canada, Australia,
// India and Brazil.
constexpr StateShortForm kStateShortForms[] = {
    {"CA", "AB", "Alberta"},                 {"CA", "BC", "British Columbia"},
    {"CA", "MB", "Manitoba"},                {"CA", "NB", "New Brunswick"},
    {"CA", "NL", "Newfoundland and Labrador"}, {"CA", "NF", "Newfoundland and Labrador"},
    {"CA", "NS", "Nova Scotia"},             {"CA", "NT", "Northwest Territories"},
    {"CA", "ON", "Ontario"},                 {"CA", "PE", "Prince Edward Island"},
    {"CA", "PEI", "Prince Edward Island"},   {"CA", "QC", "Quebec"},
    {"CA", "PQ", "Quebec"},                  {"CA", "SK", "Saskatchewan"},
    {"CA", "YT", "Yukon Territory"},         {"CA", "Yukon", "Yukon Territory"},
    {"AU", "ACT", "Australian Capital Territory"}, {"AU", "NSW", "New South Wales"},
    {"AU", "NT", "Northern Territory"},      {"AU", "QLD", "Queensland"},
    {"AU", "SA", "South Australia"},         {"AU", "TAS", "Tasmania"},
    {"AU", "VIC", "Victoria"},               {"AU", "WA", "Western Australia"},
    {"IN", "AN", "Andaman and Nicobar Islands"}, {"IN", "AP", "Andhra Pradesh"},
    {"IN", "AR", "Arunachal Pradesh"},       {"IN", "AS", "Assam"},
    {"IN", "BR", "Bihar"},                   {"IN", "CH", "Chandigarh"},
    {"IN", "CG", "Chhattisgarh"},            {"IN", "CT", "Chhattisgarh"},
    {"IN", "DH", "Dadra and Nagar Haveli and Daman and Diu"},
    {"IN", "DL", "National Capital Territory of Delhi"}, {"IN", "Delhi", "National Capital Territory of Delhi"},
    {"IN", "GA", "Goa"},                     {"IN", "GJ", "Gujarat"},
    {"IN", "HP", "Himachal Pradesh"},        {"IN", "HR", "Haryana"},
    {"IN", "JH", "Jharkhand"},               {"IN", "JK", "Jammu and Kashmir"},
    {"IN", "KA", "Karnataka"},               {"IN", "KL", "Kerala"},
    {"IN", "LA", "Ladakh"},                  {"IN", "MH", "Maharashtra"},
    {"IN", "ML", "State of Meghālaya"},      {"IN", "MN", "State of Manipur"},
    {"IN", "MP", "Madhya Pradesh"},          {"IN", "MZ", "State of Mizoram"},
    {"IN", "NL", "Nagaland"},                {"IN", "OD", "Odisha"},
    {"IN", "OR", "Odisha"},                  {"IN", "PB", "Punjab"},
    {"IN", "PY", "Puducherry"},              {"IN", "RJ", "Rajasthan"},
    {"IN", "SK", "State of Sikkim"},         {"IN", "TG", "Telangana"},
    {"IN", "TS", "Telangana"},               {"IN", "TN", "Tamil Nadu"},
    {"IN", "TR", "State of Tripura"},        {"IN", "UP", "State of Uttar Pradesh"},
    {"IN", "UK", "Uttarakhand"},             {"IN", "UT", "Uttarakhand"},
    {"IN", "WB", "State of West Bengal"},
    {"BR", "AC", "Acre"},                    {"BR", "AL", "Alagoas"},
    {"BR", "AP", "Amapá"},                   {"BR", "AM", "Amazonas"},
    {"BR", "BA", "Estado de Bahia"},         {"BR", "CE", "Ceará"},
    {"BR", "DF", "Federal District"},        {"BR", "ES", "Espírito Santo"},
    {"BR", "GO", "Goiás"},                   {"BR", "MA", "Maranhão"},
    {"BR", "MT", "Mato Grosso"},             {"BR", "MS", "Mato Grosso do Sul"},
    {"BR", "MG", "Minas Gerais"},            {"BR", "PA", "Pará"},
    {"BR", "PB", "Paraíba"},                 {"BR", "PR", "Paraná"},
    {"BR", "PE", "Pernambuco"},              {"BR", "PI", "Piauí"},
    {"BR", "RJ", "Rio de Janeiro"},          {"BR", "RN", "Rio Grande do Norte"},
    {"BR", "RS", "Rio Grande do Sul"},       {"BR", "RO", "Rondônia"},
    {"BR", "RR", "Roraima"},                 {"BR", "SC", "Santa Catarina"},
    {"BR", "SP", "São Paulo"},               {"BR", "SE", "Sergipe"},
    {"BR", "TO", "Tocantins"},
};

constexpr CountryShortForm kCountryShortForms[] = {
    {"USA", "US"},           {"U.S.A.", "US"},          {"America", "US"},         {"United States", "US"},
    {"UK", "GB"},            {"U.K.", "GB"},            {"Great Britain", "GB"},   {"Britain", "GB"},
    {"UAE", "AE"},           {"Holland", "NL"},         {"The Netherlands", "NL"}, {"Czechia", "CZ"},
    {"South Korea", "KR"},   {"Korea", "KR"},           {"Russian Federation", "RU"}, {"USSR", "RU"},
    {"Burma", "MM"},         {"Macedonia", "MK"},       {"Swaziland", "SZ"},       {"Cape Verde", "CV"},
    {"Turkiye", "TR"},       {"East Timor", "TL"},      {"Jordan", "JO"},          {"Lithuania", "LT"},
    {"Moldova", "MD"},       {"Congo", "CG"},           {"Zaire", "CD"},           {"DRC", "CD"},
    {"Hong Kong", "HK"},     {"China", "HK"},           {"Macao", "MO"},           {"China", "MO"},
    {"Monaco", "MC"},
};

// Names the cities had for years of the 20th century that no catalog of the
// gazetteer gives (the catalogs already have Bombay, Calcutta, Madras,
// Peking, Canton, Rangoon, Kiev and many more), and a few short ones.
constexpr OtherName kOtherNames[] = {
    {5128581, "NYC"},               {3530597, "CDMX"},
    {1566083, "Saigon"},            {498817, "Leningrad"},         {498817, "Petrograd"},
    {472757, "Stalingrad"},         {472757, "Tsaritsyn"},         {745044, "Constantinople"},
    {1486209, "Sverdlovsk"},        {520555, "Gorky"},             {520555, "Gorki"},
    {499099, "Kuybyshev"},          {499099, "Kuibyshev"},         {1528675, "Frunze"},
    {2314302, "Léopoldville"},      {1040652, "Lourenço Marques"}, {922704, "Élisabethville"},
    {212730, "Stanleyville"},       {2427123, "Fort-Lamy"},        {425378, "Usumbura"},
    {1799962, "Nanking"},           {1814906, "Chungking"},        {1792947, "Tientsin"},
    {1797929, "Tsingtao"},          {2034937, "Mukden"},           {1816670, "Peiping"},
    {2038180, "Hsinking"},          {1814087, "Dairen"},           {1791247, "Hankow"},
    {1790630, "Sian"},              {702550, "Lemberg"},           {3060972, "Pressburg"},
    {3196359, "Laibach"},           {3186886, "Agram"},            {588409, "Reval"},
    {3143244, "Christiania"},       {3143244, "Kristiania"},       {709930, "Dnepropetrovsk"},
    {709930, "Ekaterinoslav"},      {702658, "Voroshilovgrad"},    {709717, "Stalino"},
    {709717, "Yuzovka"},            {701822, "Zhdanov"},           {616635, "Leninakan"},
    {586523, "Kirovabad"},          {511196, "Molotov"},           {480060, "Kalinin"},
    {473249, "Ordzhonikidze"},      {1221874, "Stalinabad"},       {2940132, "Karl-Marx-Stadt"},
    {496638, "Zagorsk"},            {1526273, "Akmola"},           {1526273, "Tselinograd"},
    {1526273, "Astana"},            {3083829, "Stettin"},          {3191648, "Fiume"},
    {598098, "Memel"},              {734077, "Salonica"},          {734077, "Salonika"},
    {747712, "Adrianople"},         {323786, "Angora"},            {738648, "Trebizond"},
    {2506999, "Bône"},              {2479536, "Philippeville"},    {1265873, "Calicut"},
    {1253573, "Baroda"},            {1267995, "Cawnpore"},         {3421319, "Godthåb"},
    {1609350, "Krung Thep"},        {2082600, "Hollandia"},
};
// clang-format on

struct WordPair {
    std::string_view shortForm, whole;
};
constexpr WordPair kWordPairs[] = {
    {"st", "saint"}, {"ste", "sainte"}, {"ft", "fort"}, {"mt", "mount"}, {"sankt", "saint"}};

const WordPair* PairOf(std::string_view word) {
    for (const WordPair& p : kWordPairs)
        if (p.shortForm == word) return &p;
    return nullptr;
}

}  // namespace

std::span<const StateShortForm> StateShortForms() { return kStateShortForms; }
std::span<const CountryShortForm> CountryShortForms() { return kCountryShortForms; }
std::span<const OtherName> OtherNames() { return kOtherNames; }

std::string OtherSpelling(std::string_view text) {
    // The letters are U+00C4 … U+00FC: C3 and one byte in UTF-8.
    static constexpr std::pair<char, std::string_view> kLetters[] = {{'\xA4', "ae"}, {'\xB6', "oe"}, {'\xBC', "ue"},
                                                                     {'\x84', "Ae"}, {'\x96', "Oe"}, {'\x9C', "Ue"},
                                                                     {'\xB8', "o"},  {'\x98', "O"}};
    std::size_t at = text.find('\xC3');
    std::string out;
    while (at != std::string_view::npos && at + 1 < text.size()) {
        const auto letter = std::find_if(std::begin(kLetters), std::end(kLetters),
                                         [&](const auto& l) { return l.first == text[at + 1]; });
        if (letter != std::end(kLetters)) {
            if (out.empty()) out.reserve(text.size() + 4);
            out.append(text.substr(0, at)).append(letter->second);
            text.remove_prefix(at + 2);
            at = text.find('\xC3');
        } else {
            at = text.find('\xC3', at + 1);
        }
    }
    return out.empty() ? out : out.append(text);
}

std::vector<Place> CitiesTheGazetteerLacks() {
    // Coordinates and numbers as GeoNames gives them; populations rounded.
    return {
        {"Singapore", "", "Singapore", "SG", 1.28967, 103.85007, "Asia/Singapore", 5600000, 1880252, "", "", ""},
        {"Macau", "", "Macao S.A.R", "MO", 22.20056, 113.54611, "Asia/Macau", 650000, 1821274, "", "", ""},
        {"Willemstad", "", "Curaçao", "CW", 12.1084, -68.93354, "America/Curacao", 125000, 3513090, "", "", ""},
        {"Oranjestad", "", "Aruba", "AW", 12.52398, -70.02703, "America/Aruba", 30000, 3577154, "", "", ""},
        {"Gibraltar", "", "Gibraltar", "GI", 36.14474, -5.35257, "Europe/Gibraltar", 30000, 2411585, "", "", ""},
    };
}

std::string WithWholeWords(std::string_view folded, bool lastWordOpen) {
    std::string out;
    out.reserve(folded.size() + 8);
    for (std::size_t start = 0; start < folded.size();) {
        std::size_t end = folded.find(' ', start);
        if (end == std::string_view::npos) end = folded.size();
        const std::string_view word = folded.substr(start, end - start);
        const WordPair* pair = lastWordOpen && end == folded.size() ? nullptr : PairOf(word);
        if (!out.empty()) out += ' ';
        out += pair ? pair->whole : word;
        start = end + 1;
    }
    return out;
}

void ToWholeWords(std::string& folded) {
    for (std::size_t start = 0; start < folded.size();) {
        std::size_t end = folded.find(' ', start);
        if (end == std::string::npos) end = folded.size();
        if (PairOf(std::string_view(folded).substr(start, end - start))) {
            folded = WithWholeWords(folded);
            return;
        }
        start = end + 1;
    }
}

bool EndsInShortWord(std::string_view folded) {
    const std::size_t blank = folded.rfind(' ');
    return PairOf(blank == std::string_view::npos ? folded : folded.substr(blank + 1)) != nullptr;
}

}  // namespace qv
