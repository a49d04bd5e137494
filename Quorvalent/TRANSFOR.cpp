#include "Quorvalent/TRANSFOR.h"

#include <algorithm>
#include <cmath>

#include "Quorvalent/FIELDS.h"

namespace {

// The coefficient tables, as the filters were designed (multiplied by 1.0E20).
constexpr HankelFilterTable kHankelFilter{
    1.2589254f, 60, kHankelLength,
    {   // J1
    1.8490956E+07f, 2.8532132E+07f, 4.644718E+07f, 7.166948E+07f, 1.1667004E+08f,
    1.80025584E+08f, 2.93061888E+08f, 4.5220384E+08f, 7.36138176E+08f, 1.13588467E+09f,
    1.84909555E+09f, 2.85321318E+09f, 4.64471808E+09f, 7.16694784E+09f, 1.16670044E+10f,
    1.8002559E+10f, 2.93061898E+10f, 4.52203848E+10f, 7.36138199E+10f, 1.1358847E+11f,
    1.84909562E+11f, 2.85321331E+11f, 4.64471818E+11f, 7.16694749E+11f, 1.16670045E+12f,
    1.80025583E+12f, 2.93061893E+12f, 4.522038E+12f, 7.36138153E+12f, 1.13588453E+13f,
    1.8490952E+13f, 2.85321242E+13f, 4.64471563E+13f, 7.1669423E+13f, 1.16669901E+14f,
    1.80025232E+14f, 2.93060987E+14f, 4.52201537E+14f, 7.36132497E+14f, 1.13587027E+15f,
    1.84905939E+15f, 2.85312235E+15f, 4.64449012E+15f, 7.16637466E+15f, 1.1665565E+16f,
    1.79989441E+16f, 2.92971101E+16f, 4.51975772E+16f, 7.35565462E+16f, 1.13444612E+17f,
    1.84548302E+17f, 2.84414263E+17f, 4.62194728E+17f, 7.10980571E+17f, 1.15236914E+18f,
    1.7643448E+18f, 2.84076229E+18f, 4.2977059E+18f, 6.8033255E+18f, 9.97845945E+18f,
    1.51070545E+19f, 2.03540581E+19f, 2.71235379E+19f, 2.76073868E+19f, 2.16691972E+19f,
    -7.83723752E+18f, -3.40675629E+19f, -3.60693668E+19f, 5.13024517E+19f, -5.9472474E+18f,
    -1.95117112E+19f, 1.99235597E+19f, -1.38521555E+19f, 8.79320845E+18f, -5.50697161E+18f,
    3.45637857E+18f, -2.17527174E+18f, 1.3710029E+18f, -8.64656425E+17f, 5.45462771E+17f,
    -3.44138859E+17f, 2.1713068E+17f, -1.36998625E+17f, 8.64398933E+16f, -5.45397882E+16f,
    3.44122551E+16f, -2.17126596E+16f, 1.36997592E+16f, -8.64396367E+15f, 5.45397227E+15f,
    -3.4412239E+15f, 2.17126542E+15f, -1.36997592E+15f, 8.64396327E+14f, -5.45397227E+14f,
    3.44122376E+14f, -2.17126535E+14f, 1.36997587E+14f, -8.6439631E+13f, 5.45397219E+13f
    },
    {   // J0
    2.8987829E+13f, 3.6493515E+13f, 4.59426109E+13f, 5.78383239E+13f, 7.28141325E+13f,
    9.16675625E+13f, 1.15402626E+14f, 1.45283292E+14f, 1.8290083E+14f, 2.30258515E+14f,
    2.89878282E+14f, 3.6493515E+14f, 4.59426109E+14f, 5.78383247E+14f, 7.28141308E+14f,
    9.16675675E+14f, 1.15402617E+15f, 1.45283309E+15f, 1.8290082E+15f, 2.30258539E+15f,
    2.89878268E+15f, 3.64935184E+15f, 4.59426048E+15f, 5.78383328E+15f, 7.2814116E+15f,
    9.16675836E+15f, 1.15402571E+16f, 1.45283357E+16f, 1.82900688E+16f, 2.3025863E+16f,
    2.89877887E+16f, 3.64935383E+16f, 4.59424964E+16f, 5.78383446E+16f, 7.28137746E+16f,
    9.1667487E+16f, 1.15401451E+17f, 1.4528256E+17f, 1.82896819E+17f, 2.30254537E+17f,
    2.89863976E+17f, 3.64916708E+17f, 4.59373312E+17f, 5.78303259E+17f, 7.279415E+17f,
    9.16340687E+17f, 1.15325686E+18f, 1.45145829E+18f, 1.82601201E+18f, 2.29701036E+18f,
    2.88702616E+18f, 3.62691805E+18f, 4.54794018E+18f, 5.6940821E+18f, 7.09873074E+18f,
    8.80995402E+18f, 1.08223885E+19f, 1.31250484E+19f, 1.55055714E+19f, 1.76371506E+19f,
    1.85627733E+19f, 1.69778042E+19f, 1.03405242E+19f, -3.02583236E+18f, -2.27574388E+19f,
    -3.62173215E+19f, -2.05500438E+19f, 3.37394863E+19f, 3.17689899E+19f, -5.13762157E+19f,
    3.09130267E+19f, -1.26757594E+19f, 4.61967892E+18f, -1.80968674E+18f, 8.35426046E+17f,
    -4.47368295E+17f, 2.61974777E+17f, -1.60171356E+17f, 9.97717896E+16f, -6.2627581E+16f,
    3.94338815E+16f, -2.48606344E+16f, 1.56808601E+16f, -9.8926626E+15f, 6.24152378E+15f,
    -3.9380539E+15f, 2.48472367E+15f, -1.5677495E+15f, 9.8918177E+14f, -6.24131159E+14f,
    3.93800048E+14f, -2.48471022E+14f, 1.56774611E+14f, -9.8918088E+13f, 6.24130932E+13f,
    -3.93800015E+13f, 2.48471009E+13f, -1.56774601E+13f, 9.8918088E+12f, -6.24130943E+12f
    },
};

// The 201-point sine filter of K. Key (2012), "Is the fast Hankel transform faster than
// quadrature?", Geophysics 77(3), F21-F30 (filter key_201_CosSin_2012): abscissae and sine
// weights, with the spacing factor 1.1491241 from one abscissa to the next.
constexpr SineFilterTable kSineFilter{
    kSineLength, 1.1491241,
    {
    9.189813578979554431e-07, 1.056023625814580121e-06, 1.213502198596722469e-06,
    1.394464621814856324e-06, 1.602412903529863163e-06, 1.841371285602916550e-06,
    2.115964121340935337e-06, 2.431505366575819474e-06, 2.794101416020377615e-06,
    3.210769275003213075e-06, 3.689572353457292107e-06, 4.239776510064799043e-06,
    4.872029366344634110e-06, 5.598566360791908899e-06, 6.433447530655468333e-06,
    7.392829603584875080e-06, 8.495278664699472507e-06, 9.762129449852620491e-06,
    1.121789821818057375e-05, 1.289075719389881243e-05, 1.481307975880396063e-05,
    1.702206694611720924e-05, 1.956046735965807348e-05, 2.247740445031696225e-05,
    2.582932715938753888e-05, 2.968110232572985881e-05, 3.410726999716921163e-05,
    3.919348593907707914e-05, 4.503817925574586504e-05, 5.175445720305997039e-05,
    5.947229405464145172e-05, 6.834104638068957396e-05, 7.853234341551447667e-05,
    9.024340844852722122e-05, 1.037008755146715032e-04, 1.191651752453829177e-04,
    1.369355747556224385e-04, 1.573559690995309022e-04, 1.808215363716937597e-04,
    2.077863852443915962e-04, 2.387723429369641420e-04, 2.743790536831908645e-04,
    3.152955831235373539e-04, 3.623137531919468123e-04, 4.163434655556242790e-04,
    4.784303101489888058e-04, 5.497757995644024943e-04, 6.317606208782060350e-04,
    7.259713548843874532e-04, 8.342311798099197231e-04, 9.586351536940189910e-04,
    1.101590758220457504e-03, 1.265864488612372576e-03, 1.454635391203216652e-03,
    1.671556584749788778e-03, 1.920825956055699588e-03, 2.207267398016070359e-03,
    2.536424162212516653e-03, 2.914666132629854800e-03, 3.349313096469270536e-03,
    3.848776397610539479e-03, 4.422721714019329023e-03, 5.082256109188864820e-03,
    5.840142977459474027e-03, 6.711049042865494321e-03, 7.711828191462868562e-03,
    8.861847629897192519e-03, 1.018336268207469322e-02, 1.170194747704938337e-02,
    1.344698986285383299e-02, 1.545226012390951524e-02, 1.775656450790910612e-02,
    2.040449620930701383e-02, 2.344729834254689893e-02, 2.694385560539522273e-02,
    3.096183382317686805e-02, 3.557898942651930435e-02, 4.088467420378678885e-02,
    4.698156444836708995e-02, 5.398764796349118933e-02, 6.203850737735829013e-02,
    7.128994395557387842e-02, 8.192099268725626382e-02, 9.413738699314525005e-02,
    1.081755401051891358e-01, 1.243071201657793834e-01, 1.428443075845411969e-01,
    1.641458363937240428e-01, 1.886239365152771463e-01, 2.167523112872550006e-01,
    2.490753046316681596e-01, 2.862184352679894572e-01, 3.289005018317684437e-01,
    3.779474931581650043e-01, 4.343085729239950510e-01, 4.990744479851359494e-01,
    5.734984758757153411e-01, 6.590209199441205978e-01, 7.572968215143355275e-01,
    8.702280284582515346e-01, 1.000000000000000000e+00, 1.149124100003604987e+00,
    1.320486197209095547e+00, 1.517402512935084768e+00, 1.743683797019738080e+00,
    2.003709073941175145e+00, 2.302510386261710007e+00, 2.645870175361940912e+00,
    3.040433183989171173e+00, 3.493835046172651726e+00, 4.014850052994201945e+00,
    4.613560953796389086e+00, 5.301554078843049744e+00, 6.092143559470961200e+00,
    7.000628984869827320e+00, 8.044591481697690227e+00, 9.244233946302529148e+00,
    1.062277201376766911e+01, 1.220688332986425451e+01, 1.402722382027926784e+01,
    1.611902094802755059e+01, 1.852275543984141848e+01, 2.128494467439464799e+01,
    2.445904289259026854e+01, 2.810647565089737654e+01, 3.229782853661069453e+01,
    3.711421314920350767e+01, 4.264883678242043885e+01, 4.900880618379954967e+01,
    5.631720029820978368e+01, 6.471545210740303844e+01, 7.436608565924593961e+01,
    8.545586125397201727e+01, 9.819938965350355886e+01, 1.128432852564856432e+02,
    1.296709386118090492e+02, 1.490080006289178414e+02, 1.712286846160418747e+02,
    1.967630081042101153e+02, 2.261051146017525753e+02, 2.598228363229509910e+02,
    2.985686829499950932e+02, 3.430924690841749225e+02, 3.942558247543669268e+02,
    4.530488697920410459e+02, 5.206093747574298050e+02, 5.982447792215706386e+02,
    6.874574935048428870e+02, 7.899739735144870565e+02, 9.077781313411069277e+02,
    1.043149728180304010e+03, 1.198708492564196376e+03, 1.377464817684510763e+03,
    1.582878018908343620e+03, 1.818923278893538736e+03, 2.090168575834144576e+03,
    2.401863083561228905e+03, 2.760038754229181450e+03, 3.171627049428680039e+03,
    3.644593078721819438e+03, 4.188089741465576481e+03, 4.812634854895966782e+03,
    5.530314696278304837e+03, 6.355017898097525176e+03, 7.302704222658115214e+03,
    8.391713417454528098e+03, 9.643120128320622825e+03, 1.108114173868307626e+04,
    1.273360702747658797e+04, 1.463249471524860564e+04, 1.681455232046755191e+04,
    1.932200730222082711e+04, 2.220338425142757842e+04, 2.551444394495591769e+04,
    2.931926243533993329e+04, 3.369147105877948343e+04, 3.871568135821745818e+04,
    4.448912249678804073e+04, 5.112352284907166177e+04, 5.874727218295328203e+04,
    6.750790627490296902e+04, 7.757496204127554665e+04, 8.914325843849469675e+04,
    1.024366666245239176e+05, 1.177124423422755062e+05, 1.352662043657934992e+05,
    1.554376553527460783e+05, 1.786171558138951077e+05, 2.052532784198457666e+05,
    2.358614888369944820e+05, 2.710341210853219382e+05, 3.114518404624385294e+05,
    3.578968158658657921e+05, 4.112678564260194544e+05, 4.725978053759611794e+05,
    5.430735277663309826e+05, 6.240588788302674657e+05, 7.171210974850894418e+05,
    8.240611357411518693e+05, 9.469485109564992599e+05, 1.088161355402642395e+06
    },
    {
    -5.860270446897583227e-10, 4.804860886569124816e-09, -1.977144641163765252e-08,
    5.526967121966961282e-08, -1.194330895493323786e-07, 2.146322128646728986e-07,
    -3.361868916830313740e-07, 4.746037556149154702e-07, -6.201039377469003005e-07,
    7.667668729158013406e-07, -9.138209713545466982e-07, 1.064305862243145258e-06,
    -1.222776525976982878e-06, 1.393767256352750171e-06, -1.581049993502413107e-06,
    1.787742902928764253e-06, -2.016355473293183541e-06, 2.269236166804039591e-06,
    -2.548445675375345936e-06, 2.856245418006529008e-06, -3.194637947288513810e-06,
    3.566062724581518114e-06, -3.972508687952135696e-06, 4.416688090004955346e-06,
    -4.900483248431875982e-06, 5.427006191197883833e-06, -5.997895416421125394e-06,
    6.616892762116274668e-06, -7.285111607935426973e-06, 8.007271715105040947e-06,
    -8.783462307453753447e-06, 9.620027266686968098e-06, -1.051520389380699472e-05,
    1.147809777821414564e-05, -1.250364463796344582e-05, 1.360571102345205120e-05,
    -1.477344594648221278e-05, 1.602899258802829342e-05, -1.735136225572453292e-05,
    1.877704626832897455e-05, -2.026726046026234394e-05, 2.188336738222065381e-05,
    -2.355537791662726661e-05, 2.538781157243283245e-05, -2.725600869540000570e-05,
    2.933941963302167495e-05, -3.141766049693186814e-05, 3.380035425214157949e-05,
    -3.609962085325173149e-05, 3.885136445147936252e-05, -4.137481449654436172e-05,
    4.459945867750688948e-05, -4.733267041424394256e-05, 5.118888534555614332e-05,
    -5.408141127621664826e-05, 5.881722332552102915e-05, -6.174859568803177129e-05,
    6.775954072491499776e-05, -7.047766817461314202e-05, 7.840557863792898651e-05,
    -8.041639094370473353e-05, 9.131832786389695649e-05, -9.168958695347434527e-05,
    1.073281134372306507e-04, -1.043424372870305043e-04, 1.276861650054445397e-04,
    -1.182296393871963959e-04, 1.543186632093047439e-04, -1.328064098477521333e-04,
    1.902515358959809707e-04, -1.467431916316627824e-04, 2.403267842975279533e-04,
    -1.572259136883483557e-04, 3.124183907488045859e-04, -1.586984360997154529e-04,
    4.195067259288861130e-04, -1.406198715774752074e-04, 5.832309204521851859e-04,
    -8.348905175264685900e-05, 8.399875495666580703e-04, 4.816664227556089411e-05,
    1.251413401861840944e-03, 3.180938131564157697e-04, 1.922395836838438525e-03,
    8.397737647305293738e-04, 3.031928637456239410e-03, 1.813556484909305223e-03,
    4.885622001793516779e-03, 3.590102833477114546e-03, 8.003867686684007846e-03,
    6.776438304183190001e-03, 1.326604850037214380e-02, 1.240625292613753775e-02,
    2.213442287040639014e-02, 2.219191186293954093e-02, 3.696393574918947073e-02,
    3.882952530156706661e-02, 6.130882484977365210e-02, 6.614094782555074437e-02,
    9.979790169907559738e-02, 1.082404804601023313e-01, 1.561601809225450499e-01,
    1.653332722282565004e-01, 2.256443032291936823e-01, 2.206281514361100038e-01,
    2.747718525644567422e-01, 2.114624375312169346e-01, 2.074392316803180536e-01,
    2.927313648193575167e-03, -1.187552139582435939e-01, -4.878225418632905486e-01,
    -5.638321863750503926e-01, -7.049371723856955319e-01, -4.578307900077321219e-02,
    4.957288764264160541e-01, 1.279324323259233509e+00, 7.698444553332311861e-04,
    -1.080902224736080885e+00, -9.782614268591426354e-01, 2.441216856181616102e+00,
    -1.574219293375228590e+00, 1.047477981270465708e-01, 6.811759280298591568e-01,
    -8.173546775655894381e-01, 6.889418318079769676e-01, -5.215990980879382510e-01,
    3.846079347304329210e-01, -2.842192362840401665e-01, 2.121194922981086139e-01,
    -1.599333030316602011e-01, 1.216350806999960815e-01, -9.316467469427741621e-02,
    7.177781884036490978e-02, -5.557893864279222357e-02, 4.322789502325611460e-02,
    -3.375855289606462944e-02, 2.646381101176573450e-02, -2.082020568064353594e-02,
    1.643681264141514872e-02, -1.301965979740749707e-02, 1.034641648744809121e-02,
    -8.248107007369434238e-03, 6.595743460752269069e-03, -5.290467153831402564e-03,
    4.256226409593023667e-03, -3.434306731475131585e-03, 2.779224388185763325e-03,
    -2.255629893216021427e-03, 1.835963498084248026e-03, -1.498673279992114409e-03,
    1.226855897332932571e-03, -1.007216141285652462e-03, 8.292678383638443437e-04,
    -6.847181279705603224e-04, 5.669915476430463421e-04, -4.708610665717713061e-04,
    3.921611965808323159e-04, -3.275642914683033467e-04, 2.744056405555123047e-04,
    -2.305463519984210367e-04, 1.942655864462904797e-04, -1.641756489442128123e-04,
    1.391549300240504234e-04, -1.182948201051242621e-04, 1.008575899466758886e-04,
    -8.624289762956657477e-05, 7.396109731055901682e-05, -6.361192302410727207e-05,
    5.486742938499171625e-05, -4.745831081042885209e-05, 4.116290767797412009e-05,
    -3.579835378965815829e-05, 3.121343379092600520e-05, -2.728280882482568914e-05,
    2.390233918305811767e-05, -2.098528828685960432e-05, 1.845923622359674489e-05,
    -1.626356581942005149e-05, 1.434741185711887618e-05, -1.266798611413335254e-05,
    1.118920862485073988e-05, -9.880589945707948603e-06, 8.716321028686917810e-06,
    -7.674537247067022406e-06, 6.736731677618022180e-06, -5.887300268981402088e-06,
    5.113208105123843509e-06, -4.403771252723203071e-06, 3.750551623079078243e-06,
    -3.147360997762475346e-06, 2.590362422714757384e-06, -2.078239394378961090e-06,
    1.612357938555209243e-06, -1.196750315165155964e-06, 8.376225992974921161e-07,
    -5.420186458200808225e-07, 3.154080016969069896e-07, -1.584987009473594659e-07,
    6.451760292067034674e-08, -1.893706775873737682e-08, 3.016420226599621598e-09
    },
};

// Ten log10(x) is ln(x) / 0.2302585; the constant lies a little below ln(10) / 10, so that exact
// decades do not truncate to the index below.
constexpr double kTenthOfLn10 = 0.2302585;
// REAL value of 10^0.1: the ratio of the samples' times.
constexpr REAL kDecadeTenth = 1.2589254f;

// Fortran's INT of a value that may be far outside the index range: clamp first, then truncate.
INTEGER truncatedIndex(double x)
{
    if (!(x == x)) return 0;
    return static_cast<INTEGER>(std::trunc(std::clamp(x, -1.0e6, 1.0e6)));
}

// The outward walk over the filter indices low to high from the start index c: c, c - 1, c + 1,
// c - 2, c + 2 ... Each side stays open until its terms have become negligible (more than
// halfWidth from c, each term below tolerance times the sum, and then below tolerance times the
// tail of such terms) or the walk reaches that end of the filter; then the walk goes on along
// the other side alone. term(i) returns the term of index i; each index is visited once.
template <class Term>
double outwardWalk(int c, int low, int high, int halfWidth, double tolerance, Term&& term)
{
    double sum = term(c);
    bool lowOpen = c > low, highOpen = c < high;
    double lowTail = 0.0, highTail = 0.0;
    int below = c, above = c;
    const auto settle = [&](double value, int distance, bool& open, double& tail) {
        if (distance <= halfWidth) return;
        const double magnitude = std::fabs(value);
        if (magnitude <= std::fabs(tolerance * sum)) {
            tail += magnitude;
            if (magnitude <= std::fabs(tolerance * tail)) open = false;
        }
    };
    while (lowOpen || highOpen) {
        if (lowOpen) {
            --below;
            const double value = term(below);
            sum += value;
            settle(value, c - below, lowOpen, lowTail);
            if (below <= low) lowOpen = false;
        }
        if (highOpen) {
            ++above;
            const double value = term(above);
            sum += value;
            settle(value, above - c, highOpen, highTail);
            if (above >= high) highOpen = false;
        }
    }
    return sum;
}

}  // namespace

const HankelFilterTable& hankelFilterTable() { return kHankelFilter; }
const SineFilterTable& sineFilterTable() { return kSineFilter; }

TransformCacheBlock& transformCacheBlock()
{
    static TransformCacheBlock block;
    return block;
}

namespace EngineInternal {

INTEGER hankelStartIndex(REAL r)
{
    const INTEGER c = truncatedIndex(std::log(1.0e4 / double(r)) / kTenthOfLn10 + 60 + 26);
    // Offsets below about 316 m would start the walk beyond the last abscissa (and offsets
    // beyond 10^12 m before the first): start near that end instead, leaving room for the
    // minimum half-width on both sides.
    if (c > kHankelLength) return kHankelLength - 5;
    if (c < 1) return 6;
    return c;
}

INTEGER sineFirstUsed(INTEGER selector) { return selector == kSelectHz ? 40 : 0; }

double hankelTransform(LOGICAL& newAbscissae, REAL r, INTEGER selector)
{
    TransformCacheBlock& cache = transformCacheBlock();
    const HankelFilterTable& filter = kHankelFilter;
    if (isTrue(newAbscissae)) {
        cache.MinimumHalfWidth = 5;
        cache.HankelStart = hankelStartIndex(r);
        // The filter was designed for abscissae exactly a tenth of a decade apart.
        static const std::array<double, kHankelLength> decades = [] {
            std::array<double, kHankelLength> x{};
            for (int i = 0; i < kHankelLength; ++i) x[static_cast<std::size_t>(i)] = std::pow(10.0, 0.1 * (i + 1 - kHankelFilter.Shift));
            return x;
        }();
        for (std::size_t i = 0; i < kHankelLength; ++i) cache.AbscissaGrid[i] = decades[i] / double(r);
        cache.AbscissaComputed.fill(kFalse);
        cache.AbscissaKernelCalls.fill(0);
        newAbscissae = kFalse;
    }
    if (selector < kSelectHz || selector > kSelectEy) return 0.0;

    const auto& A = cache.AbscissaKernels;
    const auto term = [&](int i) {
        const auto k = static_cast<std::size_t>(i - 1);
        cache.AbscissaIndex = i;
        if (!isTrue(cache.AbscissaComputed[k])) {
            EngineInternal::wavenumberKernels(cache.AbscissaGrid[k]);
            cache.AbscissaComputed[k] = kTrue;
        }
        double value;
        if (selector == kSelectHz) value = double(filter.J1[k]) * A[0][k];
        else if (selector == kSelectEx) value = double(filter.J1[k]) * A[2][k] + double(filter.J0[k]) * A[1][k];
        else value = double(filter.J1[k]) * A[4][k] + double(filter.J0[k]) * A[3][k];
        cache.LastHankelTerm = value;
        return value;
    };
    const double sum = outwardWalk(cache.HankelStart, 1, kHankelLength, cache.MinimumHalfWidth,
                                   kernelSettingsBlock().HankelTolerance, term);
    return 1.0e-20 * sum;
}

}  // namespace EngineInternal

REAL HTRANS(LOGICAL& newAbscissae, REAL r, INTEGER selector)
{
    return static_cast<REAL>(EngineInternal::hankelTransform(newAbscissae, r, selector));
}

void FTRANS(LOGICAL& newGrid, REAL t1, INTEGER n, std::span<REAL> times, std::span<REAL> v, INTEGER selector)
{
    TransformCacheBlock& cache = transformCacheBlock();
    const SineFilterTable& filter = kSineFilter;
    const std::size_t capacity = std::min({times.size(), v.size(), std::size_t(kMaxCurveSamples)});
    const int count = static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), 0, capacity));
    if (count == 0 || !(t1 > 0.0f)) return;

    if (isTrue(newGrid)) {
        for (int j = 0; j < count; ++j)
            times[static_cast<std::size_t>(j)] = static_cast<REAL>(double(t1) * std::pow(double(kDecadeTenth), double(j)));
        // The filter's time points tau_m = t1 s^(m - margin) reach past the last sample by the margin.
        const double logStep = std::log(filter.Ratio);
        const double span = std::log(double(times[static_cast<std::size_t>(count - 1)]) / double(t1)) / logStep;
        const int points = std::min(static_cast<int>(std::ceil(span - 1.0e-9)) + 1 + 2 * kSplineMargin, kMaxFilterTimes);
        cache.FilterTimeCount = points;
        for (int m = 0; m < points; ++m)
            cache.FilterTimes[static_cast<std::size_t>(m)] = double(t1) * std::pow(filter.Ratio, double(m - kSplineMargin));
        // Frequency index i = k - m + points - 1 meets filter index k at time point m: the lowest
        // frequencies belong to the last time point, the highest to the first.
        cache.FrequencyCount = points + kSineLength - 1;
        const double last = cache.FilterTimes[static_cast<std::size_t>(points - 1)];
        for (int i = 0; i < cache.FrequencyCount; ++i) {
            const int k = std::min(i, kSineLength - 1);
            const double tau = i < kSineLength ? last : cache.FilterTimes[static_cast<std::size_t>(points - 1 - (i - kSineLength + 1))];
            cache.FrequencyGrid[static_cast<std::size_t>(i)] = filter.Base[static_cast<std::size_t>(k)] / tau;
        }
        cache.FrequencyComputed.fill(kFalse);
        cache.FrequencyKernelCalls.fill(0);
        cache.FrequencyKernelCount = 0;
        cache.AbscissaKernelCount = 0;
        cache.RepeatedKernelCount = 0;
        newGrid = kFalse;
    }
    if (selector < kSelectHz || selector > kSelectEy) return;
    const auto column = static_cast<std::size_t>(selector - 1);

    // The frequency kernels once each: F(omega) = 4 K(omega) / sqrt(omega) is the function whose
    // sine transform the curve is. Frequency i serves filter indices up to i only.
    const int first = EngineInternal::sineFirstUsed(selector);
    std::array<double, kFrequencyCapacity> response{};
    for (int i = first; i < cache.FrequencyCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (!isTrue(cache.FrequencyComputed[k])) {
            cache.FrequencyIndex = i + 1;
            EngineInternal::frequencyKernels(cache.FrequencyGrid[k]);
            cache.FrequencyComputed[k] = kTrue;
        }
        response[k] = 4.0 * cache.FrequencyKernels[k][column] / std::sqrt(cache.FrequencyGrid[k]);
    }

    // The lagged convolution: the filter slides one index per time point along the grid.
    const int points = cache.FilterTimeCount;
    for (int m = 0; m < points; ++m) {
        const double* f = response.data() + (points - 1 - m);
        double sum = 0.0;
        for (int k = first; k < kSineLength; ++k) sum += f[k] * filter.Sine[static_cast<std::size_t>(k)];
        cache.FilterValues[static_cast<std::size_t>(m)] = sum / cache.FilterTimes[static_cast<std::size_t>(m)];
    }

    // A natural cubic spline through the time points, uniform in log t, to the samples; the
    // margins keep its end conditions away from them.
    std::array<double, kMaxFilterTimes> curvature{}, scratch{};
    const auto& y = cache.FilterValues;
    for (int m = 1; m < points - 1; ++m) {
        // Thomas algorithm on M_(m-1) + 4 M_m + M_(m+1) = 6 (y_(m+1) - 2 y_m + y_(m-1)).
        const double rhs = 6.0 * (y[m + 1] - 2.0 * y[m] + y[m - 1]);
        const double pivot = 4.0 - (m > 1 ? scratch[m - 1] : 0.0);
        scratch[m] = 1.0 / pivot;
        curvature[m] = (rhs - (m > 1 ? curvature[m - 1] : 0.0)) / pivot;
    }
    for (int m = points - 3; m >= 1; --m) curvature[m] -= scratch[m] * curvature[m + 1];
    const double logStep = std::log(filter.Ratio);
    for (int j = 0; j < count; ++j) {
        const double x = std::log(double(times[static_cast<std::size_t>(j)]) / double(t1)) / logStep + kSplineMargin;
        const int m = std::clamp(static_cast<int>(std::floor(x)), 0, points - 2);
        const double b = x - m, a = 1.0 - b;
        const double value = a * y[m] + b * y[m + 1] + ((a * a * a - a) * curvature[m] + (b * b * b - b) * curvature[m + 1]) / 6.0;
        v[static_cast<std::size_t>(j)] = static_cast<REAL>(value);
    }
}
