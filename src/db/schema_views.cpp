// The views the windows and reports select from; the same text serves every engine
// but for string concatenation, which the dialect writes.
#include "db/schema.h"

#include "db/sql_dialect.h"

namespace ph {

const QList<ViewDef>& schemaViews() {
    static const QList<ViewDef> views = {
        {"v_see_noskhe",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select h.sh_factor, h.date_no, h.date_sabt, h.date_bimeh, h.code_no, h.code_bimeh, "
                 "h.insnotamin, h.sh_darkhast, h.code_bakhsh, h.paz_type, h.personel, h.name_b, h.family_b, "
                 "h.sh_safhe, h.sh_bimeh, h.nezam_p, h.type_no, h.flag_taeed, h.code_opr, h.price_bimar, "
                 "h.price_bimeh, h.price_azad, h.price_koll, h.price_otc, h.fani, h.fani2, h.price_kala, "
                 "d.row, d.code_darou, k.name_kala, t.name, k.group_code, g.name as name_group, d.vaziat, "
                 "d.tedad, d.price_one, d.price_koll as price_koll1, d.sazman, d.bimar, d.azad, d.otc, d.kala, "
                 "d.price_h, d.flag_moadel, d.code_darou_main, d.tedad_darou_main, d.price_darou_main "
                 "from heading_noskhe h "
                 "join details_noskhe d on d.sh_factor = h.sh_factor "
                 "left join mosh_kala_anbar k on k.code_kala = d.code_darou "
                 "left join type_kala t on t.code = k.type_code "
                 "left join group_kala g on g.code = k.group_code");
         }},
        {"v_list_bimeh",
         [](const SqlDialect& dialect) {
             return QStringLiteral(
                        "select h.sh_factor, h.paz_type, h.date_no, h.date_sabt, h.date_bimeh, h.code_no, "
                        "h.code_bimeh, h.type_no, p.typeno, dt.doc_type, h.flag_taeed, h.name_b, h.family_b, "
                        "h.sh_bimeh, h.insnotamin, h.sh_safhe, h.nezam_p, %1 as name_p, p.name as name_p1, "
                        "p.family as family_p, h.price_koll as koll, h.price_bimeh, h.price_bimar, h.code "
                        "from heading_noskhe h "
                        "left join doctor_s p on p.code = (select min(p2.code) from doctor_s p2 "
                        "where p2.order1 = h.nezam_p) "
                        "left join doctor_type dt on dt.code = p.typeno")
                 .arg(dialect.concat({QStringLiteral("coalesce(p.name, '')"), QStringLiteral("' '"),
                                      QStringLiteral("coalesce(p.family, '')")}));
         }},
        {"v_see_froosh_kala",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select h.sh_factor, h.date_sabt, h.name, h.family, h.price_koll_f, h.price_koll, h.price_otc, "
                 "k.name_kala, d.code_kala, t.name as name_type, d.vaziat, d.tedad, d.price, "
                 "d.price_koll as price_koll1 "
                 "from heading_froosh_kala h "
                 "join details_froosh_kala d on d.sh_factor = h.sh_factor "
                 "left join mosh_kala_anbar k on k.code_kala = d.code_kala "
                 "left join type_kala t on t.code = k.type_code");
         }},
        {"v_see_masrafi",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select h.sh_factor, h.date_sabt, h.date_no, h.code_bakhsh, h.sh_darkhast, h.price_koll, "
                 "k.name_kala, d.code_darou, t.name, d.vaziat, d.tedad, d.price_one, "
                 "d.price_koll as price_koll1 "
                 "from heading_masrafi h "
                 "join details_masrafi d on d.sh_factor = h.sh_factor "
                 "left join mosh_kala_anbar k on k.code_kala = d.code_darou "
                 "left join type_kala t on t.code = k.type_code");
         }},
        {"v_see_formul",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select h.code_darou, h.name_darou, h.name_latin, h.code_type_formul, h.fani, h.khadamat, "
                 "h.price_koll_bimeh, h.price_koll_azad, h.sum_koll, h.code_dastoor, h.code_negahdari, "
                 "h.code_payam, m.name_mat, d.code_mat, u.name, d.vaziat, d.meghdar, d.price, "
                 "d.price_koll as price_koll1 "
                 "from heading_formul_darou h "
                 "join details_formul_darou d on d.code_darou = h.code_darou "
                 "left join material m on m.code_mat = d.code_mat "
                 "left join vahed_madeh u on u.code = m.vahed");
         }},
        {"v_barchasb_sakhtani",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select h.code_darou, h.name_darou, ds.sharh as dastoor, ng.sharh as negahdari, "
                 "py.sharh as payam, m.name_mat, d.meghdar, u.name "
                 "from heading_formul_darou h "
                 "join details_formul_darou d on d.code_darou = h.code_darou "
                 "left join material m on m.code_mat = d.code_mat "
                 "left join vahed_madeh u on u.code = m.vahed "
                 "left join dastoor_darou ds on ds.code = h.code_dastoor "
                 "left join negahdari_darou ng on ng.code = h.code_negahdari "
                 "left join payam_darou py on py.code = h.code_payam");
         }},
        {"v_g_froosh",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select g.code_darou, k.name_kala, t.name, g.tedad, g.price, g.date_sabt "
                 "from g_froosh g "
                 "left join mosh_kala_anbar k on k.code_kala = g.code_darou "
                 "left join type_kala t on t.code = k.type_code");
         }},
        {"v_g_masraf_pe",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select d.code_darou, k.name_kala, t.name, d.tedad, d.price_koll, h.date_no, "
                 "h.nezam_p as order1 "
                 "from details_noskhe d "
                 "join heading_noskhe h on h.sh_factor = d.sh_factor "
                 "left join mosh_kala_anbar k on k.code_kala = d.code_darou "
                 "left join type_kala t on t.code = k.type_code");
         }},
        {"v_g_masraf_b",
         [](const SqlDialect&) {
             return QStringLiteral(
                 "select d.code_darou, k.name_kala, t.name, d.tedad, d.price_koll, d.sazman, d.bimar, "
                 "h.date_no, h.code_bimeh as code "
                 "from details_noskhe d "
                 "join heading_noskhe h on h.sh_factor = d.sh_factor "
                 "left join mosh_kala_anbar k on k.code_kala = d.code_darou "
                 "left join type_kala t on t.code = k.type_code");
         }},
    };
    return views;
}

} // namespace ph
