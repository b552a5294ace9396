// The tables of the pharmacy database, in lower case so that every spelling the
// program uses (Tanzimat, KALA_havaleh) resolves on every engine.
#include "db/schema.h"

namespace ph {

const QList<TableDef>& schemaTables() {
    static const QList<TableDef> tables = {
        // Users and settings.
        {"u_pharmacy",
         "code i, name v50, pass t, group_k b, type_k b, darou1 b, darou2 b, hamrah b, moadel b, hesab b, "
         "formul b, type_fo b, mat b, vahed b, bimeh b, bimehdarou b, tarefe b, type_no b, takh b, doctor b, "
         "froosh_d b, froosh_k b, tanzim b, phar b, cash b, cashier b, anbar b, havaleh b, list_b b, disk_b b, "
         "gcash b, gfroosh b, g1 b, g2 b, access b, user_new b, pass_ta b, save_b b, delete_b b, edit_b b, "
         "tarif15 b, tarikhche b, engheza b",
         {"unique code"}},
        {"tanzimat",
         "p_noskhe b, p_factor b, message_taeed b, message_address b, payam t, price b, code_kala b, code_sh b, "
         "cash b, flag_cash b, code_cash t, mode v50, tamincode v50",
         {}},
        {"tanzimat_bimeh",
         "code_bimeh i, custom b, defult1 b, defult2 b, x_noskhe f, y_noskhe f, x_price f, y_price f, "
         "x_koll f, y_koll f, x_bimar f, y_bimar f, x_azad f, y_azad f, x_pardakht f, y_pardakht f",
         {"code_bimeh"}},
        {"onvan_darou", "code_vahed i, onvan_vahed t, fani_nezam v20, mojodi b", {}},

        // Catalogue.
        {"mosh_kala_anbar",
         "code_kala f, name_kala v50, name_kala_latin t, group_code i, type_code i, code_tow f, code_sh f, "
         "price_u f, flag i",
         {"unique code_kala", "group_code,type_code", "code_tow"}},
        {"moj_kala_vah", "code_kala f, code_vah i, moj_vah f, price_u f", {"code_kala,code_vah"}},
        {"moj_kala_anbar", "code_kala f", {"code_kala"}},
        // Barcodes of goods: GTINs as 14 digits, national and own codes as typed.
        {"kala_barcode", "barcode v40, code_kala f", {"unique barcode", "code_kala"}},
        // Lots of stock by batch and expiry (ISO date), and what each document drew from them.
        {"kala_lot", "code_lot i, code_kala f, code_vah i, batch v20, date_exps v10, qu f",
         {"unique code_lot", "unique code_kala,code_vah,batch,date_exps", "code_vah,date_exps"}},
        {"kala_lot_line", "type_doc v1, sh_factor i, code_kala f, code_lot i, qu f", {"type_doc,sh_factor"}},
        // The serials of the scanned packs each document gave out.
        {"kala_serial", "code_kala f, batch v20, serial v40, type_doc v1, sh_factor i",
         {"code_kala,serial", "type_doc,sh_factor"}},
        {"type_kala", "code i, name t, num i, g1 b, g2 b, g3 b, g4 b, g5 b", {"unique code"}},
        {"group_kala", "code i, name t", {"unique code"}},
        {"moadel_kala", "code_kala f, code_moadel f", {"code_kala", "code_moadel"}},
        {"hamrah_kala", "code_kala f, code_kala_h f, condition t", {"code_kala", "code_kala_h"}},
        {"hoteling", "code_bimeh i, code_kala f", {"code_bimeh,code_kala"}},
        {"material", "code_mat i, name_mat t, name_tejari t, name_latin t, vahed i, price f", {"unique code_mat"}},
        {"vahed_madeh", "code i, name t", {"unique code"}},
        {"type_formul", "code i, name t, fani i, khadamat f, code_meli t", {"unique code"}},
        {"heading_formul_darou",
         "code_darou f, name_darou t, name_latin t, code_type_formul i, fani f, khadamat f, price_koll_bimeh f, "
         "price_koll_azad f, sum_koll f, code_dastoor i, code_negahdari i, code_payam i",
         {"code_darou"}},
        {"details_formul_darou", "code_darou f, code_mat i, vaziat v10, meghdar f, price f, price_koll f",
         {"code_darou", "code_mat"}},
        {"dastoor_darou", "code i, sharh t, active i", {"unique code"}},
        {"negahdari_darou", "code i, sharh t, active i", {"unique code"}},
        {"payam_darou", "code i, sharh t, active i", {"unique code"}},
        {"place", "code i, name t, active b", {"unique code"}},

        // Insurers, tariffs and prescribers.
        {"organs_m", "code i, name t, code_bimeh t, code_pharmacy t, orj_flag b", {"unique code"}},
        {"organs_s",
         "code i, row i, from_d v10, to_d v10, deduct f, goksaghf f, gadresssag f, toksaghf f, tadresssag f, "
         "foghok f, foghaddress f, msaghf f, dsaghf f, fani_flag b",
         {"code,row"}},
        {"bimeh_daru",
         "code_bimeh i, code_kala f, ty_no i, qu f, mab f, madrak i, bimarestani b, non_bimeh b, deduct f",
         {"code_bimeh,code_kala", "code_kala"}},
        {"tarefeh",
         "from_d v10, to_d v10, mab_fani_saghf f, mab_day_down f, mab_day_up f, mab_night_down f, "
         "mab_night_up f, percent_otc f, mab_max_otc f, mab_orj f, mab_orj_down f, mab_orj_up f, ord i",
         {}}, // ord keeps the rows in the order they were entered: the first row is the tariff in force
        {"doctor_s", "code i, name t, family t, order1 v30, typeno i", {"unique code", "order1"}},
        {"doctor_type", "code i, doc_type t", {"unique code"}},
        {"type_noskhe", "code i, name t", {"unique code"}},
        {"mosh_bimaran",
         "code i, sh_bimeh v50, insnotamin v50, name_b t, family_b t, code_bimeh i, date_bimeh v10",
         {"unique code", "sh_bimeh"}},

        // Prescriptions.
        {"heading_noskhe",
         "sh_factor i, code_no v30, date_no v10, date_sabt v10, date_bimeh v10, name_b t, family_b t, "
         "sh_bimeh v50, insnotamin v50, sh_safhe f, paz_type i, code_bakhsh i, sh_darkhast f, personel i, "
         "code_bimeh i, nezam_p v30, type_no i, flag_taeed b, code_opr i, code i, price_koll f, price_bimeh f, "
         "price_bimar f, price_azad f, price_otc f, price_kala f, fani f, fani2 f, fani_flag b",
         {"unique sh_factor", "date_no", "code_bimeh,date_no", "sh_bimeh,date_no", "nezam_p", "code_opr", "type_no",
          "code_bakhsh", "date_sabt"}},
        {"details_noskhe",
         "sh_factor i, row i, code_darou f, tedad f, price_one f, price_koll f, sazman f, bimar f, azad f, "
         "otc f, kala f, vaziat v10, flag_moadel i, code_darou_main f, tedad_darou_main f, "
         "price_darou_main f, price_h f, sh_bimeh v50, insnotamin v50, price_kol f, price f",
         {"sh_factor,row", "code_darou", "code_darou_main", "sh_bimeh"}},
        {"code_noskhe",
         "code_bimeh i, rooz i, m1 i, m2 i, m3 i, m4 i, m5 i, m6 i, m7 i, m8 i, m9 i, m10 i, m11 i, m12 i",
         {"unique code_bimeh,rooz"}},

        // Goods sales and ward consumption.
        {"heading_froosh_kala",
         "sh_factor i, date_sabt v10, code_opr i, family t, name t, price_koll f, price_otc f, price_koll_f f",
         {"unique sh_factor", "date_sabt", "code_opr"}},
        {"details_froosh_kala", "sh_factor i, code_kala f, vaziat v10, tedad f, price f, price_koll f",
         {"sh_factor", "code_kala"}},
        {"details_froosh_sakhtani", "sh_factor i, code_darou f, dastoor t, negahdari t, payam t",
         {"sh_factor,code_darou"}},
        {"heading_masrafi",
         "sh_factor i, date_sabt v10, date_no v10, code_opr i, sh_darkhast v50, code_bakhsh i, price_koll f",
         {"unique sh_factor", "date_sabt"}},
        {"details_masrafi", "sh_factor i, code_darou f, tedad f, price_one f, price_koll f, vaziat v10",
         {"sh_factor", "code_darou"}},

        // Cash desk.
        {"cash",
         "sh_factor i, type_factor v1, code_opr i, code_cashier i, flag_pa i, date_no v10, time_no v5, "
         "date_pa v10, time_pa v5, bimar f, azad f, otc f, fani f, kala f, koll_daryaft f, koll_bargasht f, "
         "ekhtetam i, family_b t",
         {"sh_factor,type_factor", "flag_pa,ekhtetam", "date_no"}},
        {"ekhtetam",
         "code_cashier i, date_first v10, time_first v5, date_end v10, time_end v5, koll_daryaft f, "
         "koll_bargasht f, khales f",
         {"code_cashier"}},

        // Store documents, written by the store program and taken into stock here.
        {"mosh_havaleh",
         "num_h i, code_anbar i, year1 i, code_vah i, taeed_darou i, date_sod v10, price_kol f",
         {"num_h,code_anbar,year1", "code_vah,taeed_darou"}},
        {"kala_havaleh", "num_h i, code_anbar i, year1 i, code_kala f, price_u f, qu f, date_exps v10",
         {"num_h,code_anbar,year1"}},
        {"mosh_bargasht_b",
         "num_b i, code_anbar i, year1 i, code_vah i, taeed_daro i, date_b v10, price_kol f",
         {"num_b,code_anbar,year1", "code_vah,taeed_daro"}},
        {"kala_bargasht_b", "num_b i, code_anbar i, year1 i, code_kala f, price_u f, qu f, date_exps v10",
         {"num_b,code_anbar,year1"}},

        // The history of changes: entries are only ever added, each chained to the one before
        // by its hash (the server refuses to change or remove them where it can be told to).
        {"audit_log",
         "seq i, changed_at v23, user_code i, host v100, source v100, kind v40, doc_key v100, changes t, "
         "prev_hash v64, hash v64",
         {"unique seq", "changed_at", "kind,doc_key", "user_code"}},

        // Scratch tables, emptied and refilled by one command.
        {"g_froosh", "code_darou f, tedad f, price f, date_sabt v10", {}},
        {"list_koli",
         "count i, name_b v100, family_b v100, sh_bimeh v100, nezam_p v100, date_no v100, kol i, "
         "price_bimeh i, price_bimar i, name_p v100, family_p v100, list t",
         {}},
    };
    return tables;
}

} // namespace ph
