// Cross-checks every unit of the English catalogue against GNU units, a units database kept
// independently of ours: each unit is converted to its category's base unit and back by the real loader
// and conversion pipeline, and the result must agree with GNU units within 1e-9 relative. GNU units
// comes from the set-up script (scripts/quantaro.sh installs the Debian package "units").
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "convert/conversion.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "support/englishcatalogue.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>
#include <vector>

namespace quantaro {
namespace {

constexpr double kTolerance = 1e-9;
constexpr int kGnuUnitsTimeoutMs = 120000;
constexpr int kResultPrecision = kPrecisionMax;
constexpr int kExponentNotation = static_cast<int>(Notation::Exponent);
// GNU units prints each marker back; a marker after every query keeps the replies of a batch apart,
// whatever number of lines an error message takes.
constexpr qint64 kFirstMarker = 9000000000;
constexpr double kInch = 0.0254;
constexpr double kBtu = 1055.05585262;
constexpr const char* kNoReference = nullptr;

// Values converted by every linear unit, both to the base unit and from it.
constexpr double kLinearValues[] = {1, -2.5e3, 7.25e8};
// Temperatures: values of the scale into kelvin, and kelvin values into the scale.
constexpr double kScaleValues[] = {-40, 0, 36.6, 451};
constexpr double kKelvinValues[] = {1, 250, 310.15, 5000};

const QString kFactorTable = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/units/factors.tsv");
const QString kEnglishNames = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/unitnames.tsv");

/**
 * How GNU units writes a unit: a unit expression ("foot", "lbf/ft^2"), a temperature scale as a
 * function with "()" ("tempF()"), or kNoReference for a unit GNU units does not have or defines
 * differently; those carry the base value of one unit from the cited definition in the comment.
 */
struct Mapping
{
    const char* key;
    const char* gnu;
    double citedBaseValue = 0;
};

const Mapping kMappings[] = {
    // Length
    {"len.gigametre", "gigameter"},
    {"len.megametre", "megameter"},
    {"len.kilometre", "kilometer"},
    {"len.hectometre", "hectometer"},
    {"len.decametre", "decameter"},
    {"len.metre", "meter"},
    {"len.decimetre", "decimeter"},
    {"len.centimetre", "centimeter"},
    {"len.millimetre", "millimeter"},
    {"len.micrometre", "micrometer"},
    {"len.nanometre", "nanometer"},
    {"len.picometre", "picometer"},
    {"len.femtometre", "femtometer"},
    {"len.angstrom", "angstrom"},
    {"len.micron", "micron"},
    {"len.fermi", "fermi"},
    {"len.inch", "inch"},
    {"len.foot", "foot"},
    {"len.yard", "yard"},
    {"len.mile", "mile"},
    {"len.thou_mil", "mil"},
    {"len.microinch", "microinch"},
    {"len.hand", "hand"},
    // 9 in = 0.2286 m (international inch, 1959); GNU units counts 9 pre-1959 imperial inches
    {"len.span", kNoReference, 9 * kInch},
    // 1/3 in (international inch, 1959); GNU units counts the pre-1959 imperial inch
    {"len.barleycorn", kNoReference, kInch / 3},
    {"len.link", "link"},
    {"len.rod_pole_or_perch", "rd"},
    {"len.chain", "chain"},
    {"len.furlong", "furlong"},
    {"len.league", "league"},
    // English ell = 45 in = 1.143 m (international inch, 1959); GNU units counts the pre-1959 imperial inch
    {"len.ell", kNoReference, 45 * kInch},
    {"len.foot_us_survey", "surveyft"},
    {"len.link_us_survey", "surveyorslink"},
    {"len.chain_us_survey", "surveyorschain"},
    {"len.mile_us_survey", "5280 surveyft"},
    {"len.fathom", "fathom"},
    {"len.cable_length_international", "cablelength"},
    {"len.cable_length_us", "120 fathom"},
    {"len.cable_length_imperial", "brcable"},
    {"len.nautical_mile", "nauticalmile"},
    {"len.nautical_mile_admiralty", "brnauticalmile"},
    {"len.nautical_league", "marineleague"},
    {"len.point", "point"},
    {"len.pica", "computerpica"},
    {"len.point_printer_s_tex", "texpoint"},
    {"len.pica_printer_s_tex", "pica"},
    {"len.twip", "twip"},
    {"len.pixel_css_96_per_inch", "1|96 inch"},
    {"len.astronomical_unit", "astronomicalunit"},
    {"len.light_second", "lightsecond"},
    {"len.light_minute", "lightminute"},
    {"len.light_hour", "light hour"},
    {"len.light_day", "light day"},
    {"len.light_year", "lightyear"},
    {"len.parsec", "parsec"},
    {"len.kiloparsec", "kiloparsec"},
    {"len.megaparsec", "megaparsec"},
    // Scandinavian mile (mil) = 10 km, the metric mile of Sweden and Norway since 1889
    {"len.scandinavian_mile", kNoReference, 10000},
    {"len.verst", "verst"},
    {"len.sazhen", "sazhen"},
    {"len.arshin", "arshin"},
    {"len.shaku", "shaku"},
    {"len.ken", "ken"},
    {"len.ri", "ri"},
    // li = 500 m, Chinese market unit (shìzhì) since 1984; GNU units has an older li of 10/27.8 mile
    {"len.li", kNoReference, 500},
    // chi = 1/3 m, Chinese market unit (shìzhì)
    {"len.chi", kNoReference, 1.0 / 3},
    // cun = 1/10 chi = 1/30 m, Chinese market unit (shìzhì)
    {"len.cun", kNoReference, 1.0 / 30},
    // Area
    {"are.square_kilometre", "km^2"},
    {"are.square_hectometre", "hm^2"},
    {"are.square_decametre", "dam^2"},
    {"are.square_metre", "m^2"},
    {"are.square_decimetre", "dm^2"},
    {"are.square_centimetre", "cm^2"},
    {"are.square_millimetre", "mm^2"},
    {"are.square_micrometre", "um^2"},
    {"are.hectare", "hectare"},
    {"are.decare", "daa"},
    {"are.are", "are"},
    {"are.centiare", "centiare"},
    {"are.barn", "barn"},
    {"are.square_inch", "in^2"},
    {"are.square_foot", "ft^2"},
    {"are.square_yard", "yd^2"},
    {"are.square_mile", "mi^2"},
    {"are.square_mil", "mil^2"},
    {"are.circular_mil", "circularmil"},
    {"are.circular_inch", "circularinch"},
    {"are.acre", "acre"},
    {"are.acre_us_survey", "USacre"},
    {"are.rood", "rood"},
    {"are.square_rod_pole_or_perch", "rd^2"},
    {"are.square_chain", "ch^2"},
    {"are.section_1_square_mile", "section"},
    {"are.township_36_square_miles", "township"},
    {"are.square_nautical_mile", "nauticalmile^2"},
    // metric dunam = 1000 m² (Ottoman dönüm as redefined in the former Mandate territories)
    {"are.dunam", kNoReference, 1000},
    {"are.tsubo", "tsubo"},
    // Korean pyeong: 400/121 m², the same square as the tsubo (Korean Framework Act on Standards).
    {"are.pyeong", kNoReference, 400.0 / 121},
    // Thai rai: 1600 m² (Thai Weights and Measures Act).
    {"are.rai", kNoReference, 1600},
    // mu = 10000/15 m² = 666 2/3 m², Chinese market unit (shìzhì)
    {"are.mu", kNoReference, 10000.0 / 15},
    {"are.desyatina", "dessiatine"},
    // Volume
    {"vol.cubic_kilometre", "km^3"},
    {"vol.cubic_metre", "m^3"},
    {"vol.cubic_decimetre", "dm^3"},
    {"vol.cubic_centimetre", "cm^3"},
    {"vol.cubic_millimetre", "mm^3"},
    {"vol.megalitre", "megaliter"},
    {"vol.kilolitre", "kiloliter"},
    {"vol.hectolitre", "hectoliter"},
    {"vol.decalitre", "decaliter"},
    {"vol.litre", "liter"},
    {"vol.decilitre", "deciliter"},
    {"vol.centilitre", "centiliter"},
    {"vol.millilitre", "milliliter"},
    {"vol.microlitre", "microliter"},
    {"vol.stere", "stere"},
    {"vol.cubic_inch", "in^3"},
    {"vol.cubic_foot", "ft^3"},
    {"vol.cubic_yard", "yd^3"},
    {"vol.cubic_mile", "mi^3"},
    {"vol.acre_foot", "acrefoot"},
    {"vol.acre_inch", "acre inch"},
    {"vol.board_foot", "boardfoot"},
    {"vol.cord", "cord"},
    {"vol.register_ton", "registerton"},
    {"vol.gallon_us", "gallon"},
    {"vol.quart_us_liquid", "quart"},
    {"vol.pint_us_liquid", "pint"},
    {"vol.cup_us_customary", "cup"},
    {"vol.cup_us_legal", "legalcup"},
    {"vol.gill_us", "gill"},
    {"vol.fluid_ounce_us_fl_oz", "fluidounce"},
    {"vol.tablespoon_us", "tablespoon"},
    {"vol.teaspoon_us", "teaspoon"},
    {"vol.fluid_dram_us_fl_dr", "fluiddram"},
    {"vol.minim_us", "minim"},
    {"vol.barrel_us_liquid", "31.5 usgallon"},
    {"vol.barrel_of_oil", "bbl"},
    {"vol.hogshead", "hogshead"},
    {"vol.bushel_us", "bushel"},
    {"vol.peck_us", "peck"},
    {"vol.gallon_us_dry", "drygallon"},
    {"vol.quart_us_dry", "dryquart"},
    {"vol.pint_us_dry", "drypint"},
    {"vol.barrel_us_dry", "drybarrel"},
    {"vol.gallon_imperial", "brgallon"},
    {"vol.quart_imperial", "brquart"},
    {"vol.pint_imperial", "brpint"},
    {"vol.cup_imperial", "brcup"},
    {"vol.gill_imperial", "brgill"},
    {"vol.fluid_ounce_imperial_fl_oz", "brfloz"},
    {"vol.fluid_dram_imperial_fl_dr", "brdram"},
    {"vol.minim_imperial", "brminim"},
    {"vol.peck_imperial", "brpeck"},
    {"vol.bushel_imperial", "brbushel"},
    {"vol.barrel", "brbarrel"},
    {"vol.cup_metric", "metriccup"},
    {"vol.tablespoon", "brtablespoon"},
    {"vol.tablespoon_australian", "australiatablespoon"},
    {"vol.teaspoon", "brteaspoon"},
    {"vol.drop", "drop"},
    // Mass
    {"mas.megatonne", "megatonne"},
    {"mas.kilotonne", "kilotonne"},
    {"mas.tonne", "tonne"},
    {"mas.quintal", "quintal"},
    {"mas.kilogram", "kilogram"},
    {"mas.hectogram", "hectogram"},
    {"mas.decagram", "decagram"},
    {"mas.gram", "gram"},
    {"mas.decigram", "decigram"},
    {"mas.centigram", "centigram"},
    {"mas.milligram", "milligram"},
    {"mas.microgram", "microgram"},
    {"mas.nanogram", "nanogram"},
    {"mas.picogram", "picogram"},
    {"mas.carat", "carat"},
    {"mas.dalton", "dalton"},
    {"mas.pound", "pound"},
    {"mas.ounce", "ounce"},
    {"mas.dram", "dram"},
    {"mas.grain", "grain"},
    {"mas.stone", "stone"},
    {"mas.quarter", "brquarterweight"},
    {"mas.hundredweight_long", "brhundredweight"},
    {"mas.hundredweight_short", "hundredweight"},
    {"mas.ton_long", "longton"},
    {"mas.ton_short", "ton"},
    {"mas.kip_kilopound", "kilopound"},
    {"mas.troy_ounce_oz_t", "troyounce"},
    {"mas.troy_pound_lb_t", "troypound"},
    {"mas.pennyweight", "pennyweight"},
    {"mas.scruple_apothecaries", "scruple"},
    {"mas.dram_apothecaries", "apdram"},
    {"mas.slug", "slug"},
    {"mas.metric_slug", "hyl"},
    // jin (catty) = 500 g, Chinese market unit (shìzhì); GNU units has only the older catty
    {"mas.jin", kNoReference, 0.5},
    // liang = 1/10 jin = 50 g, Chinese market unit (shìzhì); GNU units has an older 11/3 oz
    {"mas.liang", kNoReference, 0.05},
    {"mas.kan", "kan"},
    {"mas.momme", "momme"},
    // pood = 40 funt = 16.3804964 kg (Russian weights law of 1899); GNU units uses 40 x 409.51718 g
    {"mas.pood", kNoReference, 40 * 0.40951241},
    // funt = 0.40951241 kg (Russian weights law of 1899); GNU units uses 409.51718 g
    {"mas.funt", kNoReference, 0.40951241},
    // GM = 3.986004418e14 m³/s² (IERS 2010, with the atmosphere) / G = 6.67430e-11 (CODATA 2018); GNU units uses GM
    // without the atmosphere
    {"mas.earth_mass", kNoReference, 3.986004418e14 / 6.67430e-11},
    {"mas.solar_mass", "solarmass"},
    // Speed
    {"spd.metre_per_second", "meter / second"},
    {"spd.metre_per_minute", "meter / minute"},
    {"spd.metre_per_hour", "meter / hour"},
    {"spd.kilometre_per_second", "kilometer / second"},
    {"spd.kilometre_per_minute", "kilometer / minute"},
    {"spd.kilometre_per_hour", "kilometer / hour"},
    {"spd.centimetre_per_second", "centimeter / second"},
    {"spd.millimetre_per_second", "millimeter / second"},
    {"spd.mile_per_second", "mile / second"},
    {"spd.mile_per_minute", "mile / minute"},
    {"spd.mile_per_hour", "mile / hour"},
    {"spd.yard_per_second", "yard / second"},
    {"spd.yard_per_minute", "yard / minute"},
    {"spd.foot_per_second", "foot / second"},
    {"spd.foot_per_minute", "foot / minute"},
    {"spd.foot_per_hour", "foot / hour"},
    {"spd.inch_per_second", "inch / second"},
    {"spd.inch_per_minute", "inch / minute"},
    {"spd.inch_per_hour", "inch / hour"},
    {"spd.knot", "knot"},
    {"spd.knot_admiralty", "brknot"},
    {"spd.furlong_per_fortnight", "furlong / fortnight"},
    // speed of sound at sea level in the ICAO standard atmosphere (15 °C) = 340.294 m/s; GNU units has 331.46 m/s (0
    // °C)
    {"spd.mach_sea_level_standard_atmosphere", kNoReference, std::sqrt(1.4 * 287.05287 * 288.15)},
    {"spd.speed_of_light", "c"},
    // Temperature
    {"tmp.kelvin", "K"},
    {"tmp.millikelvin", "mK"},
    {"tmp.degree_celsius", "tempC()"},
    {"tmp.degree_fahrenheit", "tempF()"},
    {"tmp.degree_rankine", "degR"},
    {"tmp.degree_reaumur", "tempreaumur()"},
    // °N = (K − 273.15) × 33/100 (Newton 1701: water boils at 33)
    {"tmp.degree_newton", kNoReference, 273.15 + 100.0 / 33},
    // °Rø = (K − 273.15) × 21/40 + 7.5 (water freezes at 7.5 and boils at 60)
    {"tmp.degree_romer", kNoReference, 273.15 + (1 - 7.5) * 40 / 21},
    // °De = (373.15 − K) × 3/2, a falling scale (water boils at 0 and freezes at 150)
    {"tmp.degree_delisle", kNoReference, 373.15 - 2.0 / 3},
    // Pressure
    {"psn.gigapascal", "gigapascal"},
    {"psn.megapascal", "megapascal"},
    {"psn.kilopascal", "kilopascal"},
    {"psn.hectopascal", "hectopascal"},
    {"psn.pascal", "pascal"},
    {"psn.millipascal", "millipascal"},
    {"psn.newton_per_square_metre", "N/m^2"},
    {"psn.newton_per_square_millimetre", "N/mm^2"},
    {"psn.kilonewton_per_square_metre", "kN/m^2"},
    {"psn.kilobar", "kilobar"},
    {"psn.bar", "bar"},
    {"psn.millibar", "millibar"},
    {"psn.microbar", "microbar"},
    {"psn.standard_atmosphere", "atm"},
    {"psn.technical_atmosphere", "technicalatmosphere"},
    {"psn.torr", "torr"},
    {"psn.millitorr", "millitorr"},
    {"psn.millimetre_of_mercury", "mmHg"},
    {"psn.centimetre_of_mercury", "cm Hg"},
    {"psn.inch_of_mercury", "inHg"},
    {"psn.millimetre_of_water", "mm water"},
    {"psn.centimetre_of_water", "cm water"},
    {"psn.metre_of_water", "m water"},
    {"psn.inch_of_water", "inH2O"},
    {"psn.foot_of_water", "ft water"},
    {"psn.pound_force_per_square_inch", "psi"},
    {"psn.kip_per_square_inch", "ksi"},
    {"psn.pound_force_per_square_foot", "lbf/ft^2"},
    {"psn.short_ton_force_per_square_inch", "shortton force/inch^2"},
    {"psn.long_ton_force_per_square_inch", "longton force/inch^2"},
    {"psn.poundal_per_square_foot", "pdl/ft^2"},
    {"psn.kilogram_force_per_square_millimetre", "kgf/mm^2"},
    {"psn.kilogram_force_per_square_centimetre", "kgf/cm^2"},
    {"psn.kilogram_force_per_square_metre", "kgf/m^2"},
    {"psn.tonne_force_per_square_metre", "tonne force/m^2"},
    {"psn.dyne_per_square_centimetre", "dyn/cm^2"},
    {"psn.barye", "barye"},
    {"psn.pieze", "pieze"},
    // Time
    {"tme.gigasecond", "gigasecond"},
    {"tme.megasecond", "megasecond"},
    {"tme.kilosecond", "kilosecond"},
    {"tme.second", "second"},
    {"tme.millisecond", "millisecond"},
    {"tme.microsecond", "microsecond"},
    {"tme.nanosecond", "nanosecond"},
    {"tme.picosecond", "picosecond"},
    {"tme.femtosecond", "femtosecond"},
    {"tme.attosecond", "attosecond"},
    {"tme.minute", "minute"},
    {"tme.hour", "hour"},
    {"tme.day", "day"},
    {"tme.week", "week"},
    {"tme.fortnight", "fortnight"},
    {"tme.month_30_days", "30 days"},
    {"tme.month_average_gregorian", "gregorianyear/12"},
    {"tme.year_365_days", "365 days"},
    {"tme.leap_year_366_days", "leapyear"},
    {"tme.year_gregorian", "gregorianyear"},
    {"tme.year_julian", "julianyear"},
    {"tme.decade_gregorian", "10 gregorianyear"},
    {"tme.century_gregorian", "100 gregorianyear"},
    {"tme.millennium_gregorian", "1000 gregorianyear"},
    {"tme.sidereal_day", "siderealday"},
    {"tme.shake", "shake"},
    {"tme.svedberg", "svedberg"},
    // Angle
    {"ang.radian", "radian"},
    {"ang.milliradian", "milliradian"},
    {"ang.microradian", "microradian"},
    {"ang.turn_revolution", "turn"},
    {"ang.quadrant_right_angle", "quadrant"},
    {"ang.sextant", "sextant"},
    {"ang.octant", "45 degree"},
    {"ang.sign", "sign"},
    {"ang.degree", "degree"},
    {"ang.minute_of_arc", "arcmin"},
    {"ang.second_of_arc", "arcsec"},
    {"ang.milliarcsecond", "milliarcsecond"},
    {"ang.gradian", "gon"},
    {"ang.centesimal_minute_of_arc", "centesimalminute"},
    {"ang.centesimal_second_of_arc", "centesimalsecond"},
    {"ang.hour_angle", "circle/24"},
    {"ang.minute_of_time", "circle/(24*60)"},
    {"ang.second_of_time", "circle/(24*3600)"},
    {"ang.point", "pointangle"},
    {"ang.mil_nato_6400_per_turn", "milangle"},
    {"ang.mil_warsaw_pact_6000_per_turn", "circle/6000"},
    {"ang.streck_swedish_6300_per_turn", "circle/6300"},
    {"ang.binary_degree_256_per_turn", "circle/256"},
    // Energy
    {"nrj.exajoule", "exajoule"},
    {"nrj.petajoule", "petajoule"},
    {"nrj.terajoule", "terajoule"},
    {"nrj.gigajoule", "gigajoule"},
    {"nrj.megajoule", "megajoule"},
    {"nrj.kilojoule", "kilojoule"},
    {"nrj.joule", "joule"},
    {"nrj.millijoule", "millijoule"},
    {"nrj.microjoule", "microjoule"},
    {"nrj.nanojoule", "nanojoule"},
    {"nrj.watt_second", "watt second"},
    {"nrj.milliwatt_hour", "milliwatt hour"},
    {"nrj.watt_hour", "watt hour"},
    {"nrj.kilowatt_hour", "kilowatt hour"},
    {"nrj.megawatt_hour", "megawatt hour"},
    {"nrj.gigawatt_hour", "gigawatt hour"},
    {"nrj.terawatt_hour", "terawatt hour"},
    {"nrj.calorie_international", "calorie_IT"},
    {"nrj.kilocalorie_international", "kilocalorie_IT"},
    {"nrj.calorie_thermochemical", "calorie_th"},
    {"nrj.kilocalorie_thermochemical", "kilocalorie_th"},
    {"nrj.calorie_food", "Calorie"},
    {"nrj.british_thermal_unit", "btu_IT"},
    {"nrj.british_thermal_unit_thermochemical", "btu_th"},
    {"nrj.million_btu", "1e6 btu_IT"},
    {"nrj.therm_us", "therm"},
    {"nrj.dekatherm_us", "dekatherm"},
    {"nrj.therm_ec", "ECtherm"},
    {"nrj.quad", "quad"},
    {"nrj.electronvolt", "electronvolt"},
    {"nrj.kiloelectronvolt", "kiloelectronvolt"},
    {"nrj.megaelectronvolt", "megaelectronvolt"},
    {"nrj.gigaelectronvolt", "gigaelectronvolt"},
    {"nrj.teraelectronvolt", "teraelectronvolt"},
    {"nrj.erg", "erg"},
    {"nrj.foot_pound_force", "foot pound force"},
    {"nrj.inch_pound_force", "inch pound force"},
    {"nrj.foot_poundal", "foot poundal"},
    {"nrj.kilogram_force_metre", "kilogram force meter"},
    {"nrj.litre_atmosphere", "liter atmosphere"},
    {"nrj.horsepower_hour", "horsepower hour"},
    {"nrj.metric_horsepower_hour", "metrichorsepower hour"},
    {"nrj.ton_of_tnt", "ton tnt"},
    {"nrj.kiloton_of_tnt", "kiloton tnt"},
    {"nrj.megaton_of_tnt", "megaton tnt"},
    {"nrj.tonne_of_oil_equivalent", "toe"},
    {"nrj.million_tonnes_of_oil_equivalent", "Mtoe"},
    // tce = 7 Gcal(IT) = 29.3076 GJ (United Nations / IEA convention)
    {"nrj.tonne_of_coal_equivalent", kNoReference, 7e9 * 4.1868},
    {"nrj.barrel_of_oil_equivalent", "barreloil"},
    // Power
    {"pwr.terawatt", "terawatt"},
    {"pwr.gigawatt", "gigawatt"},
    {"pwr.megawatt", "megawatt"},
    {"pwr.kilowatt", "kilowatt"},
    {"pwr.watt", "watt"},
    {"pwr.milliwatt", "milliwatt"},
    {"pwr.microwatt", "microwatt"},
    {"pwr.nanowatt", "nanowatt"},
    {"pwr.joule_per_second", "joule / second"},
    {"pwr.joule_per_hour", "joule / hour"},
    {"pwr.kilojoule_per_hour", "kilojoule / hour"},
    {"pwr.erg_per_second", "erg / second"},
    {"pwr.horsepower_mechanical", "horsepower"},
    {"pwr.horsepower_metric", "metrichorsepower"},
    {"pwr.horsepower_electrical", "electrichorsepower"},
    // boiler horsepower = 9809.50 W (NIST SP 811, appendix B)
    {"pwr.horsepower", "boilerhorsepower"},
    {"pwr.poncelet", "poncelet"},
    {"pwr.foot_pound_force_per_second", "foot pound force / second"},
    {"pwr.foot_pound_force_per_minute_ft_lbf_min", "foot pound force / minute"},
    {"pwr.foot_pound_force_per_hour", "foot pound force / hour"},
    {"pwr.btu_per_second", "btu_IT/s"},
    {"pwr.btu_per_minute", "btu_IT/min"},
    {"pwr.btu_per_hour", "btu_IT/hour"},
    {"pwr.thousand_btu_per_hour", "kilobtu_IT/hour"},
    {"pwr.ton_of_refrigeration", "tonrefrigeration"},
    {"pwr.calorie_per_second", "calorie_IT/s"},
    {"pwr.kilocalorie_per_second", "kilocalorie_IT/s"},
    {"pwr.kilocalorie_per_hour", "kilocalorie_IT/hour"},
    {"pwr.kilocalorie_thermochemical_per_hour", "kilocalorie_th/hour"},
    {"pwr.kilogram_force_metre_per_second", "kilogram force meter / second"},
    {"pwr.solar_luminosity", "solarluminosity"},
    // Radiation
    {"rad.petabecquerel", "petabecquerel"},
    {"rad.terabecquerel", "terabecquerel"},
    {"rad.gigabecquerel", "gigabecquerel"},
    {"rad.megabecquerel", "megabecquerel"},
    {"rad.kilobecquerel", "kilobecquerel"},
    {"rad.becquerel", "becquerel"},
    {"rad.disintegration_per_second", "1/s"},
    {"rad.disintegration_per_minute", "1/min"},
    {"rad.rutherford", "rutherford"},
    {"rad.kilocurie", "kilocurie"},
    {"rad.curie", "curie"},
    {"rad.millicurie", "millicurie"},
    {"rad.microcurie", "microcurie"},
    {"rad.nanocurie", "nanocurie"},
    {"rad.picocurie", "picocurie"},
    {"rad.kilogray", "kilogray"},
    {"rad.gray", "gray"},
    {"rad.centigray", "centigray"},
    {"rad.milligray", "milligray"},
    {"rad.microgray", "microgray"},
    {"rad.nanogray", "nanogray"},
    {"rad.joule_per_kilogram", "joule / kilogram"},
    {"rad.rad", "rad"},
    {"rad.millirad", "millirad"},
    {"rad.kilorad", "kilorad"},
    {"rad.erg_per_gram", "erg / gram"},
    {"rad.sievert", "sievert"},
    {"rad.millisievert", "millisievert"},
    {"rad.microsievert", "microsievert"},
    {"rad.nanosievert", "nanosievert"},
    {"rad.rem", "rem"},
    {"rad.millirem", "millirem"},
    {"rad.microrem", "microrem"},
    {"rad.coulomb_per_kilogram", "coulomb / kilogram"},
    {"rad.millicoulomb_per_kilogram", "millicoulomb / kilogram"},
    {"rad.microcoulomb_per_kilogram", "microcoulomb / kilogram"},
    {"rad.roentgen", "roentgen"},
    {"rad.milliroentgen", "milliroentgen"},
    {"rad.microroentgen", "microroentgen"},
    {"rad.kiloroentgen", "kiloroentgen"},
    {"rad.sievert_per_second", "Sv/s"},
    {"rad.sievert_per_hour", "Sv/hr"},
    {"rad.millisievert_per_hour", "mSv/hr"},
    {"rad.microsievert_per_hour", "microSv/hr"},
    {"rad.rem_per_hour", "rem/hr"},
    {"rad.millirem_per_hour", "millirem/hr"},
    {"rad.millisievert_per_year", "millisievert/julianyear"},
    {"rad.gray_per_second", "Gy/s"},
    {"rad.gray_per_hour", "Gy/hr"},
    {"rad.milligray_per_hour", "mGy/hr"},
    {"rad.microgray_per_hour", "microGy/hr"},
    {"rad.rad_per_hour", "rad/hr"},
    {"rad.roentgen_per_hour", "roentgen/hr"},
    {"rad.milliroentgen_per_hour", "milliroentgen/hr"},
    {"rad.microroentgen_per_hour", "microroentgen/hr"},
    // Force
    {"fce.giganewton", "giganewton"},
    {"fce.meganewton", "meganewton"},
    {"fce.kilonewton", "kilonewton"},
    {"fce.newton", "newton"},
    {"fce.millinewton", "millinewton"},
    {"fce.micronewton", "micronewton"},
    {"fce.dyne", "dyne"},
    {"fce.kilodyne", "kilodyne"},
    {"fce.sthene", "sthene"},
    {"fce.kilogram_force", "kilogram force"},
    {"fce.kilopond", "kilopond"},
    {"fce.gram_force", "gram force"},
    {"fce.pond", "pond"},
    {"fce.tonne_force", "tonne force"},
    {"fce.pound_force", "pound force"},
    {"fce.ounce_force", "ounce force"},
    {"fce.kip", "kip"},
    {"fce.ton_force_short", "ton force"},
    {"fce.ton_force", "longton force"},
    {"fce.poundal", "poundal"},
    // Density
    {"rsd.kilogram_per_cubic_metre", "kg/m^3"},
    {"rsd.gram_per_cubic_metre", "g/m^3"},
    {"rsd.milligram_per_cubic_metre", "mg/m^3"},
    {"rsd.microgram_per_cubic_metre", "ug/m^3"},
    {"rsd.tonne_per_cubic_metre", "t/m^3"},
    {"rsd.gram_per_cubic_centimetre", "g/cm^3"},
    {"rsd.gram_per_millilitre", "gram / milliliter"},
    {"rsd.kilogram_per_litre", "kilogram / liter"},
    {"rsd.kilogram_per_cubic_decimetre", "kg/dm^3"},
    {"rsd.gram_per_litre", "gram / liter"},
    {"rsd.gram_per_decilitre", "gram / deciliter"},
    {"rsd.milligram_per_decilitre", "milligram / deciliter"},
    {"rsd.microgram_per_decilitre", "microgram / deciliter"},
    {"rsd.nanogram_per_decilitre", "nanogram / deciliter"},
    {"rsd.milligram_per_litre", "milligram / liter"},
    {"rsd.microgram_per_litre", "microgram / liter"},
    {"rsd.pound_per_cubic_foot", "lb/ft^3"},
    {"rsd.pound_per_cubic_inch", "lb/in^3"},
    {"rsd.pound_per_cubic_yard", "lb/yd^3"},
    {"rsd.pound_per_gallon_us", "pound / gallon"},
    {"rsd.pound_per_gallon_imperial", "lb/brgallon"},
    {"rsd.ounce_per_cubic_inch", "oz/in^3"},
    {"rsd.ounce_per_cubic_foot", "oz/ft^3"},
    {"rsd.ounce_per_gallon_us", "ounce / gallon"},
    {"rsd.ounce_per_gallon_imperial", "oz/brgallon"},
    {"rsd.grain_per_gallon_us", "grain / gallon"},
    {"rsd.short_ton_per_cubic_yard", "shortton/yd^3"},
    {"rsd.long_ton_per_cubic_yard", "longton/yd^3"},
    {"rsd.slug_per_cubic_foot", "slug/ft^3"},
    {"rsd.milligram_per_millilitre", "mg/mL"},
    {"rsd.microgram_per_millilitre", "microgram/mL"},
    {"rsd.nanogram_per_millilitre", "ng/mL"},
    {"rsd.picogram_per_millilitre", "pg/mL"},
    // Data
    {"cpr.bit", "bit"},
    {"cpr.nibble", "nibble"},
    {"cpr.byte", "byte"},
    {"cpr.kilobit", "kilobit"},
    {"cpr.kibibit", "kibibit"},
    {"cpr.megabit", "megabit"},
    {"cpr.mebibit", "mebibit"},
    {"cpr.gigabit", "gigabit"},
    {"cpr.gibibit", "gibibit"},
    {"cpr.terabit", "terabit"},
    {"cpr.tebibit", "tebibit"},
    {"cpr.petabit", "petabit"},
    {"cpr.pebibit", "pebibit"},
    {"cpr.exabit", "exabit"},
    {"cpr.exbibit", "exbibit"},
    {"cpr.kilobyte", "kilobyte"},
    {"cpr.kibibyte", "kibibyte"},
    {"cpr.megabyte", "megabyte"},
    {"cpr.mebibyte", "mebibyte"},
    {"cpr.gigabyte", "gigabyte"},
    {"cpr.gibibyte", "gibibyte"},
    {"cpr.terabyte", "terabyte"},
    {"cpr.tebibyte", "tebibyte"},
    {"cpr.petabyte", "petabyte"},
    {"cpr.pebibyte", "pebibyte"},
    {"cpr.exabyte", "exabyte"},
    {"cpr.exbibyte", "exbibyte"},
    {"cpr.zettabyte", "zettabyte"},
    {"cpr.zebibyte", "zebibyte"},
    {"cpr.yottabyte", "yottabyte"},
    {"cpr.yobibyte", "yobibyte"},
    {"cpr.bit_per_second", "bit / second"},
    {"cpr.byte_per_second", "byte / second"},
    {"cpr.kilobit_per_second", "kilobit / second"},
    {"cpr.kibibit_per_second", "kibibit / second"},
    {"cpr.megabit_per_second", "megabit / second"},
    {"cpr.mebibit_per_second", "mebibit / second"},
    {"cpr.gigabit_per_second", "gigabit / second"},
    {"cpr.gibibit_per_second", "gibibit / second"},
    {"cpr.terabit_per_second", "terabit / second"},
    {"cpr.tebibit_per_second", "tebibit / second"},
    {"cpr.kilobyte_per_second", "kilobyte / second"},
    {"cpr.kibibyte_per_second", "kibibyte / second"},
    {"cpr.megabyte_per_second", "megabyte / second"},
    {"cpr.mebibyte_per_second", "mebibyte / second"},
    {"cpr.gigabyte_per_second", "gigabyte / second"},
    {"cpr.gibibyte_per_second", "gibibyte / second"},
    {"cpr.terabyte_per_second", "terabyte / second"},
    {"cpr.tebibyte_per_second", "tebibyte / second"},
    // Viscosity
    {"vsy.pascal_second", "pascal second"},
    {"vsy.millipascal_second", "millipascal second"},
    {"vsy.micropascal_second", "micropascal second"},
    {"vsy.newton_second_per_square_metre", "N s/m^2"},
    {"vsy.kilogram_per_metre_second_kg_m_s", "kg/(m s)"},
    {"vsy.poise", "poise"},
    {"vsy.decipoise", "decipoise"},
    {"vsy.centipoise", "centipoise"},
    {"vsy.millipoise", "millipoise"},
    {"vsy.micropoise", "micropoise"},
    {"vsy.dyne_second_per_square_centimetre_dyn_s_cm2", "dyn s/cm^2"},
    {"vsy.pound_per_foot_second_lb_ft_s", "lb/(ft s)"},
    {"vsy.pound_per_foot_hour_lb_ft_h", "lb/(ft hour)"},
    {"vsy.pound_force_second_per_square_foot_lbf_s_ft2", "lbf s/ft^2"},
    {"vsy.pound_force_second_per_square_inch_lbf_s_in2", "lbf s/in^2"},
    {"vsy.reyn", "reyn"},
    {"vsy.slug_per_foot_second_slug_ft_s", "slug/(ft s)"},
    {"vsy.poundal_second_per_square_foot_pdl_s_ft2", "pdl s/ft^2"},
    {"vsy.kilogram_force_second_per_square_metre", "kgf s/m^2"},
    {"vsy.square_metre_per_second", "m^2/s"},
    {"vsy.square_metre_per_hour", "m^2/hour"},
    {"vsy.square_centimetre_per_second", "cm^2/s"},
    {"vsy.square_millimetre_per_second", "mm^2/s"},
    {"vsy.stokes", "stokes"},
    {"vsy.centistokes", "centistokes"},
    {"vsy.millistokes", "millistokes"},
    {"vsy.square_foot_per_second", "ft^2/s"},
    {"vsy.square_foot_per_hour", "ft^2/hour"},
    {"vsy.square_inch_per_second", "in^2/s"},
    // Light
    {"lux.lux", "lux"},
    {"lux.kilolux", "kilolux"},
    {"lux.millilux", "millilux"},
    {"lux.microlux", "microlux"},
    {"lux.lumen_per_square_metre", "lm/m^2"},
    {"lux.lumen_per_square_centimetre", "lm/cm^2"},
    {"lux.lumen_per_square_foot", "lm/ft^2"},
    {"lux.lumen_per_square_inch", "lm/in^2"},
    {"lux.foot_candle", "footcandle"},
    {"lux.phot", "phot"},
    {"lux.milliphot", "milliphot"},
    {"lux.nox", "nox"},
    {"lux.candela_per_square_metre", "cd/m^2"},
    {"lux.nit", "nit"},
    {"lux.kilocandela_per_square_metre", "kcd/m^2"},
    {"lux.candela_per_square_centimetre", "cd/cm^2"},
    {"lux.stilb", "stilb"},
    {"lux.candela_per_square_foot", "cd/ft^2"},
    {"lux.candela_per_square_inch", "cd/in^2"},
    {"lux.foot_lambert", "footlambert"},
    {"lux.lambert", "lambert"},
    {"lux.millilambert", "millilambert"},
    {"lux.apostilb", "apostilb"},
    {"lux.blondel", "blondel"},
    {"lux.skot", "skot"},
    // bril = 1e-7 apostilb = 1e-11 lambert (Moon, 1942)
    {"lux.bril", kNoReference, 1e-7 / std::numbers::pi},
    {"lux.candela", "cd"},
    {"lux.millicandela", "millicandela"},
    // The modern candlepower is the candela (IES lighting handbook).
    {"lux.candlepower", kNoReference, 1},
    {"lux.international_candle", "candle"},
    {"lux.hefner_candle", "hefnercandle"},
    {"lux.lumen", "lumen"},
    {"lux.kilolumen", "kilolumen"},
    {"lux.candela_steradian", "cd sr"},
    // Magnetism
    {"mag.tesla", "tesla"},
    {"mag.millitesla", "millitesla"},
    {"mag.microtesla", "microtesla"},
    {"mag.nanotesla", "nanotesla"},
    {"mag.picotesla", "picotesla"},
    {"mag.weber_per_square_metre", "Wb/m^2"},
    {"mag.kilogauss", "kilogauss"},
    {"mag.gauss", "gauss"},
    {"mag.milligauss", "milligauss"},
    // gamma = 1 nT = 1e-5 gauss; GNU units' gamma is a microgram
    {"mag.gamma", kNoReference, 1e-9},
    {"mag.maxwell_per_square_centimetre", "Mx/cm^2"},
    {"mag.line_per_square_inch", "maxwell/inch^2"},
    {"mag.ampere_per_metre", "ampere / meter"},
    {"mag.ampere_turn_per_metre", "A/m"},
    {"mag.kiloampere_per_metre", "kiloampere / meter"},
    {"mag.ampere_per_centimetre", "ampere / centimeter"},
    {"mag.ampere_per_millimetre", "ampere / millimeter"},
    {"mag.ampere_turn_per_inch", "A/inch"},
    {"mag.oersted", "oersted"},
    {"mag.kilooersted", "kilooersted"},
    {"mag.millioersted", "millioersted"},
    {"mag.gilbert_per_centimetre", "gilbert / centimeter"},
    {"mag.weber", "weber"},
    {"mag.milliweber", "milliweber"},
    {"mag.microweber", "microweber"},
    {"mag.nanoweber", "nanoweber"},
    {"mag.volt_second", "volt second"},
    {"mag.tesla_square_metre", "T m^2"},
    {"mag.kilomaxwell", "kilomaxwell"},
    {"mag.maxwell", "maxwell"},
    {"mag.line", "maxwell"},
    {"mag.gauss_square_centimetre", "gauss cm^2"},
    {"mag.ampere_turn", "A"},
    {"mag.kiloampere_turn", "kA"},
    {"mag.gilbert", "gilbert"},
    // Torque
    {"tqe.meganewton_metre", "meganewton meter"},
    {"tqe.kilonewton_metre", "kilonewton meter"},
    {"tqe.newton_metre", "newton meter"},
    {"tqe.newton_centimetre", "newton centimeter"},
    {"tqe.newton_millimetre", "newton millimeter"},
    {"tqe.millinewton_metre", "millinewton meter"},
    {"tqe.micronewton_metre", "micronewton meter"},
    {"tqe.dyne_metre", "dyne meter"},
    {"tqe.dyne_centimetre", "dyne centimeter"},
    {"tqe.dyne_millimetre", "dyne millimeter"},
    {"tqe.tonne_force_metre", "tonne force meter"},
    {"tqe.kilogram_force_metre", "kilogram force meter"},
    {"tqe.kilopond_metre", "kilopond meter"},
    {"tqe.kilogram_force_centimetre", "kilogram force centimeter"},
    {"tqe.kilogram_force_millimetre", "kilogram force millimeter"},
    {"tqe.gram_force_metre", "gram force meter"},
    {"tqe.gram_force_centimetre", "gram force centimeter"},
    {"tqe.pound_force_foot", "pound force foot"},
    {"tqe.pound_force_inch", "pound force inch"},
    {"tqe.ounce_force_foot", "ounce force foot"},
    {"tqe.ounce_force_inch", "ounce force inch"},
    {"tqe.kip_foot", "kip foot"},
    {"tqe.kip_inch", "kip inch"},
    {"tqe.poundal_foot", "poundal foot"},

    // Added units: typography, atomic and Planck scales, kitchen measures, diving, astronomy, information.
    {"len.didot_point", "didotpoint"},
    {"len.cicero", "cicero"},
    {"len.bohr_radius", "bohrradius"},
    // Planck length = 1.616255e-35 m (CODATA 2018); GNU units derives it from its own value of G
    {"len.planck_length", kNoReference, 1.616255e-35},
    {"vol.jigger", "jigger"},
    {"vol.dessertspoon", "dessertspoon"},
    // imperial tablespoon = 5/8 imperial fluid ounce (the imperial fluid ounce = 28.4130625 mL)
    {"vol.tablespoon_imperial", kNoReference, 0.625 * 28.4130625e-6},
    {"mas.gigatonne", "gigatonne"},
    {"mas.pound_apothecaries", "appound"},
    {"mas.ounce_apothecaries", "apounce"},
    {"psn.metre_of_sea_water", "msw"},
    {"psn.foot_of_sea_water", "fsw"},
    {"psn.decibar", "decibar"},
    {"tme.year_tropical", "tropicalyear"},
    {"tme.year_sidereal", "siderealyear"},
    {"tme.month_synodic", "synodicmonth"},
    {"nrj.hartree", "hartree"},
    {"nrj.rydberg", "rydberg"},
    {"nrj.thermie", "thermie"},
    {"pwr.calorie_th_per_second", "calorie_th / second"},
    {"fce.decanewton", "decanewton"},
    {"tqe.decanewton_metre", "decanewton meter"},
    {"cpr.nat", "nat"},
    {"cpr.hartley", "hartley"},
    {"cpr.zettabit", "zettabit"},
    {"cpr.zebibit", "zebibit"},
    {"cpr.yottabit", "yottabit"},
    {"cpr.yobibit", "yobibit"},
};

/** The base unit of a category or sub-category (-1: the category has none), by key and in GNU units. */
struct Base
{
    const char* code;
    int sousRubric;
    const char* key;
    const char* gnu;
};

const Base kBases[] = {
    {"LEN", -1, "len.metre", "m"},
    {"ARE", -1, "are.square_metre", "m^2"},
    {"VOL", -1, "vol.cubic_metre", "m^3"},
    {"MAS", -1, "mas.kilogram", "kg"},
    {"SPD", -1, "spd.metre_per_second", "m/s"},
    {"TMP", -1, "tmp.kelvin", "K"},
    {"PSN", -1, "psn.pascal", "Pa"},
    {"TME", -1, "tme.second", "s"},
    {"ANG", -1, "ang.radian", "radian"},
    {"NRJ", -1, "nrj.joule", "J"},
    {"PWR", -1, "pwr.watt", "W"},
    {"RAD", 0, "rad.becquerel", "Bq"},
    {"RAD", 1, "rad.gray", "Gy"},
    {"RAD", 2, "rad.sievert", "Sv"},
    {"RAD", 3, "rad.coulomb_per_kilogram", "C/kg"},
    {"RAD", 4, "rad.sievert_per_hour", "Sv/hr"},
    {"RAD", 5, "rad.gray_per_hour", "Gy/hr"},
    {"RAD", 6, "rad.roentgen_per_hour", "roentgen/hr"},
    {"FCE", -1, "fce.newton", "N"},
    {"RSD", -1, "rsd.kilogram_per_cubic_metre", "kg/m^3"},
    {"CPR", 0, "cpr.bit", "bit"},
    {"CPR", 1, "cpr.bit_per_second", "bit/s"},
    {"VSY", 0, "vsy.pascal_second", "Pa s"},
    {"VSY", 1, "vsy.square_metre_per_second", "m^2/s"},
    {"LUX", 0, "lux.lux", "lux"},
    {"LUX", 1, "lux.candela_per_square_metre", "cd/m^2"},
    {"LUX", 2, "lux.candela", "cd"},
    {"LUX", 3, "lux.lumen", "lumen"},
    {"MAG", 0, "mag.tesla", "T"},
    {"MAG", 1, "mag.ampere_per_metre", "A/m"},
    {"MAG", 2, "mag.weber", "Wb"},
    {"MAG", 3, "mag.ampere_turn", "A"},
    {"TQE", -1, "tqe.newton_metre", "N m"},
};

/** One row of the factor table: what the tests need to find a unit in the loaded catalogue. */
struct FactorRow
{
    QString key;
    QString code;
    QString tag;
};

/** The data rows of a tab-separated table ("#" comments, "*" unit-file comments and blank lines left out). */
std::vector<QStringList> readTable(const QString& path)
{
    std::vector<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')) && !line.startsWith(QLatin1Char('*'))) {
            rows.push_back(line.split(QLatin1Char('\t')));
        }
    }
    return rows;
}

/** Runs a batch of GNU units queries in one process; each query is a "You have" expression whose value
 *  is a plain number (the "You want" line is left empty). */
class GnuUnits
{
public:
    int add(const QString& query)
    {
        m_queries.push_back(query);
        return static_cast<int>(m_queries.size()) - 1;
    }

    /** Empty when the batch ran; otherwise why it did not. */
    QString run()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("units"));
        if (program.isEmpty()) {
            return QStringLiteral("GNU units is not installed: run scripts/quantaro.sh test once, which installs "
                                  "the Debian package \"units\" with the rest of the set-up");
        }
        QByteArray input;
        for (size_t i = 0; i < m_queries.size(); ++i) {
            input += m_queries[i].toUtf8() + "\n\n" + QByteArray::number(kFirstMarker + qint64(i)) + "\n\n";
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A point as the decimal separator whatever the user's locale; "-l en_US" picks the definitions.
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.setProgram(program);
        process.setArguments({QStringLiteral("-l"), QStringLiteral("en_US"), QStringLiteral("-t"), QStringLiteral("-d"),
                              QStringLiteral("15")});
        process.start();
        if (!process.waitForStarted()) {
            return QStringLiteral("GNU units did not start: ") + process.errorString();
        }
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(kGnuUnitsTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return QStringLiteral("GNU units did not finish");
        }
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
        m_replies.assign(m_queries.size(), {});
        size_t next = 0;
        QStringList reply;
        for (const QString& line : lines) {
            if (next < m_queries.size() && line.trimmed() == QString::number(kFirstMarker + qint64(next))) {
                m_replies[next++] = reply;
                reply.clear();
            } else {
                reply.push_back(line.trimmed());
            }
        }
        if (next != m_queries.size()) {
            return QStringLiteral("GNU units answered %1 of %2 queries").arg(next).arg(m_queries.size());
        }
        return {};
    }

    /** The number GNU units gave for query index, if its reply is one plain number. */
    std::optional<double> value(int index) const
    {
        const QStringList& reply = m_replies[static_cast<size_t>(index)];
        bool ok = false;
        const double result = reply.size() == 1 ? reply.front().toDouble(&ok) : 0;
        return ok ? std::optional<double>(result) : std::nullopt;
    }

    std::string reply(int index) const
    {
        return m_replies[static_cast<size_t>(index)].join(QLatin1Char(' ')).toStdString();
    }

private:
    std::vector<QString> m_queries;
    std::vector<QStringList> m_replies;
};

QString number(double value)
{
    return formatNumber(value, 'g', kIntermediateDigits);
}

bool agrees(double actual, double expected)
{
    return std::abs(actual - expected) <= kTolerance * std::abs(expected);
}

class GnuUnitsCrossCheck : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_catalogue = new Catalogue;
        s_loaded = test::loadEnglishCatalogue(*s_catalogue);
        s_rows = new std::vector<FactorRow>;
        for (const QStringList& row : readTable(kFactorTable)) {
            if (row.size() >= 4) {
                s_rows->push_back({row[0], row[1], row.value(4)});
            }
        }
        s_names = new QHash<QString, QString>;
        for (const QStringList& row : readTable(kEnglishNames)) {
            if (row.size() == 2) {
                s_names->insert(row[0], row[1]);
            }
        }
    }

    static void TearDownTestSuite()
    {
        delete s_catalogue;
        delete s_rows;
        delete s_names;
        s_catalogue = nullptr;
        s_rows = nullptr;
        s_names = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_loaded) << "the English unit file did not load from the program folder";
        ASSERT_FALSE(s_rows->empty()) << kFactorTable.toStdString();
    }

    static const FactorRow* row(const QString& key)
    {
        for (const FactorRow& candidate : *s_rows) {
            if (candidate.key == key) {
                return &candidate;
            }
        }
        return nullptr;
    }

    /** The loaded unit of a key, found by its category and English name. */
    static const UnitRecord* unit(const QString& key)
    {
        const FactorRow* factors = row(key);
        const int index = factors ? rubricIndexOf(factors->code) : -1;
        if (index < 0 || !s_names->contains(key)) {
            return nullptr;
        }
        const Rubric& category = (*s_catalogue)[static_cast<size_t>(index)];
        for (int i = 0; i < category.unitCount(); ++i) {
            if (category.unit(i).name() == s_names->value(key)) {
                return &category.unit(i);
            }
        }
        return nullptr;
    }

    static const Base* baseOf(const FactorRow& factors)
    {
        for (const Base& base : kBases) {
            const bool sameSousRubric =
                base.sousRubric < 0 ||
                (!factors.tag.isEmpty() && factors.tag.front().unicode() - u'0' == base.sousRubric);
            if (factors.code == QLatin1String(base.code) && sameSousRubric) {
                return &base;
            }
        }
        return nullptr;
    }

    static double convert(double value, const UnitRecord& from, const UnitRecord& to)
    {
        return convertValue(number(value), from, to, kExponentNotation, kResultPrecision).toDouble();
    }

    static Catalogue* s_catalogue;
    static bool s_loaded;
    static std::vector<FactorRow>* s_rows;
    static QHash<QString, QString>* s_names;
};

Catalogue* GnuUnitsCrossCheck::s_catalogue = nullptr;
bool GnuUnitsCrossCheck::s_loaded = false;
std::vector<FactorRow>* GnuUnitsCrossCheck::s_rows = nullptr;
QHash<QString, QString>* GnuUnitsCrossCheck::s_names = nullptr;

TEST_F(GnuUnitsCrossCheck, EveryUnitOutsideTheCurrenciesHasAReferenceOrACitedDefinition)
{
    QHash<QString, int> mapped;
    for (const Mapping& mapping : kMappings) {
        const QString key = QString::fromLatin1(mapping.key);
        EXPECT_FALSE(mapped.contains(key)) << mapping.key << " is mapped twice";
        mapped.insert(key, 1);
        EXPECT_NE(row(key), nullptr) << mapping.key << " is not in the factor table";
        EXPECT_TRUE(mapping.gnu != kNoReference || mapping.citedBaseValue > 0) << mapping.key;
    }
    for (const FactorRow& factors : *s_rows) {
        if (factors.code != QLatin1String("CNY")) {
            EXPECT_TRUE(mapped.contains(factors.key)) << factors.key.toStdString() << " has no GNU units mapping";
            EXPECT_NE(baseOf(factors), nullptr) << factors.key.toStdString() << " has no base unit";
        }
        EXPECT_NE(unit(factors.key), nullptr) << factors.key.toStdString() << " is not in the loaded catalogue";
    }
}

TEST_F(GnuUnitsCrossCheck, EveryUnitAgreesWithGnuUnitsBothWays)
{
    struct Check
    {
        const Mapping* mapping;
        const UnitRecord* unit;
        const UnitRecord* base;
        double value;
        bool toBase;
        int query;
        bool scaled; // the query gives one unit's factor, to be multiplied by the value
    };
    GnuUnits gnu;
    std::vector<Check> checks;
    for (const Mapping& mapping : kMappings) {
        const QString key = QString::fromLatin1(mapping.key);
        const FactorRow* factors = row(key);
        const Base* base = factors ? baseOf(*factors) : nullptr;
        const UnitRecord* from = unit(key);
        const UnitRecord* baseUnit = base ? unit(QString::fromLatin1(base->key)) : nullptr;
        ASSERT_TRUE(from && baseUnit) << mapping.key;
        if (mapping.gnu == kNoReference) {
            continue;
        }
        const QString expression = QString::fromLatin1(mapping.gnu);
        const QString baseExpression = QString::fromLatin1(base->gnu);
        if (expression.endsWith(QLatin1String("()"))) {
            const QString function = expression.chopped(2);
            for (const double value : kScaleValues) {
                const int query = gnu.add(QStringLiteral("%1(%2)/(%3)").arg(function, number(value), baseExpression));
                checks.push_back({&mapping, from, baseUnit, value, true, query, false});
            }
            for (const double value : kKelvinValues) {
                const int query = gnu.add(QStringLiteral("~%1(%2 %3)").arg(function, number(value), baseExpression));
                checks.push_back({&mapping, from, baseUnit, value, false, query, false});
            }
            continue;
        }
        const int toBase = gnu.add(QStringLiteral("(%1)/(%2)").arg(expression, baseExpression));
        const int fromBase = gnu.add(QStringLiteral("(%1)/(%2)").arg(baseExpression, expression));
        for (const double value : kLinearValues) {
            checks.push_back({&mapping, from, baseUnit, value, true, toBase, true});
            checks.push_back({&mapping, from, baseUnit, value, false, fromBase, true});
        }
    }
    const QString failure = gnu.run();
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    for (const Check& check : checks) {
        const std::optional<double> reference = gnu.value(check.query);
        if (!reference) {
            ADD_FAILURE() << check.mapping->key << ": GNU units does not read \"" << check.mapping->gnu
                          << "\": " << gnu.reply(check.query);
            continue;
        }
        const double expected = check.scaled ? *reference * check.value : *reference;
        const double actual = check.toBase ? convert(check.value, *check.unit, *check.base)
                                           : convert(check.value, *check.base, *check.unit);
        EXPECT_TRUE(agrees(actual, expected))
            << check.mapping->key << " (" << check.unit->name().toStdString() << ") " << (check.toBase ? "to" : "from")
            << " its base at " << check.value << ": " << actual << ", GNU units (" << check.mapping->gnu
            << "): " << expected;
    }
}

TEST_F(GnuUnitsCrossCheck, UnitsWithoutAReferenceAgreeWithTheirCitedDefinition)
{
    for (const Mapping& mapping : kMappings) {
        if (mapping.gnu != kNoReference) {
            continue;
        }
        const QString key = QString::fromLatin1(mapping.key);
        const UnitRecord* from = unit(key);
        const Base* base = row(key) ? baseOf(*row(key)) : nullptr;
        const UnitRecord* baseUnit = base ? unit(QString::fromLatin1(base->key)) : nullptr;
        ASSERT_TRUE(from && baseUnit) << mapping.key;
        const double actual = convert(1, *from, *baseUnit);
        EXPECT_TRUE(agrees(actual, mapping.citedBaseValue))
            << mapping.key << ": " << actual << ", cited " << mapping.citedBaseValue;
    }
}

} // namespace
} // namespace quantaro
